# A Tk host: `orvane pick` as its chooser, over its window and modal to it.
import subprocess, tkinter as tk

root = tk.Tk(); root.title("My Tk GIS")
label = tk.Label(root, text="No coordinate system yet"); label.pack(padx=40, pady=20)
def choose():
    run = subprocess.run(["orvane", "pick", "--parent-window", str(root.winfo_id())], capture_output=True, text=True)
    if run.returncode == 0:  # 1: cancelled; 3: no display
        name, wkt = run.stdout.split("\n", 1); label["text"] = name; print(name, wkt, sep="\n", end="", flush=True)
button = tk.Button(root, text="Choose coordinate system…", command=choose); button.pack(pady=10); button.focus_set()
root.mainloop()
