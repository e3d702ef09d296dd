# A PyQt6 host: the chooser opens over its window, modal to it.
import sys

from PyQt6.QtWidgets import QApplication, QMainWindow, QPushButton

import orvane

app = QApplication(sys.argv)
window = QMainWindow()
window.setWindowTitle("My PyQt GIS")
button = QPushButton("Choose coordinate system…")
window.setCentralWidget(button)


def choose():
    chosen = orvane.pick(parent=window, language="en")
    if chosen:  # None: the user cancelled
        button.setText(chosen.name)
        print(chosen.code or "-", chosen.name, chosen.wkt, sep="\n", flush=True)


button.clicked.connect(choose)
window.resize(500, 200)
window.show()
sys.exit(app.exec())
