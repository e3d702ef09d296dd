#include "platform/Wnd.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVariant>

#include "platform/Prompt.h"

const char kControlIdProperty[] = "controlId";

namespace {

QString FromWindowsLines(const std::string& text)
{
    return QString::fromStdString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

std::string ToWindowsLines(const QString& text)
{
    return QString(text).replace(QLatin1Char('\n'), QLatin1String("\r\n")).toStdString();
}

}  // namespace

BOOL CWnd::EnableWindow(BOOL enable)
{
    if (!m_widget)
        return FALSE;
    const bool wasDisabled = !m_widget->isEnabled();
    m_widget->setEnabled(enable != FALSE);
    return wasDisabled ? TRUE : FALSE;
}

void CWnd::SetWindowText(const std::string& text)
{
    QWidget* w = m_widget.data();
    if (!w)
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(QString::fromStdString(text));
        edit->setCursorPosition(0);
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(w)) {
        area->setPlainText(FromWindowsLines(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // A drop-down list shows only its entries; an editable one takes the text.
        if (combo->isEditable())
            combo->setEditText(QString::fromStdString(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(QString::fromStdString(text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(QString::fromStdString(text));
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(QString::fromStdString(text));
    } else {
        w->setWindowTitle(QString::fromStdString(text));
    }
}

std::string CWnd::GetWindowText() const
{
    QWidget* w = m_widget.data();
    if (!w)
        return std::string();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().toStdString();
    if (auto* area = qobject_cast<QPlainTextEdit*>(w))
        return ToWindowsLines(area->toPlainText());
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title().toStdString();
    return w->windowTitle().toStdString();
}

int CWnd::MessageBox(const std::string& text, const char* caption, UINT type)
{
    return ShowMessagePrompt(m_widget.data(), text, caption ? caption : ApplicationTitle(), type);
}
