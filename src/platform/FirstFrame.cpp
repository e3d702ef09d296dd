#include "platform/FirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch(QWidget* window, std::function<void()> work) : QObject(window), m_work(std::move(work))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched == parent()) {
            watched->removeEventFilter(this);
            // After the paint, and everything else it brings, is done.
            QTimer::singleShot(0, static_cast<QWidget*>(watched), std::move(m_work));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

}  // namespace

void AfterFirstFrame(QWidget* window, std::function<void()> work)
{
    if (window && work)
        new FirstFrameWatch(window, std::move(work));
}
