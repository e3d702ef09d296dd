// A main window whose layer has a spatial reference: "Coordinate System…"
// lets the user choose it with Orvane's chooser, shown over this window.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

#include <Orvane.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("My GIS");
    window.setCentralWidget(new QLabel("A map would be here."));

    QByteArray layerWkt;  // the layer's system as WKT; empty: none yet
    QAction* choose = window.menuBar()->addMenu("&Layer")->addAction("&Coordinate System…");
    QObject::connect(choose, &QAction::triggered, &window, [&] {
        Orvane chooser(layerWkt.constData());
        chooser.SetLanguage(LANGUAGE_ENGLISH);
        if (chooser.DoModal() == 1) {  // 1 OK, 2 Cancel
            layerWkt = chooser.GetWKT();
            window.statusBar()->showMessage(QString::fromUtf8(chooser.GetSrsName()));
        }
    });
    window.statusBar()->showMessage(QString::fromStdString(Orvane::GetCoordSysName(layerWkt.constData())));
    window.resize(900, 700);
    window.show();
    return app.exec();
}
