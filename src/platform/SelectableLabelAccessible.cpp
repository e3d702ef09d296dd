#include "platform/SelectableLabelAccessible.h"

#include <algorithm>
#include <mutex>

#include <QAccessibleWidget>
#include <QLabel>

namespace
{

// A label as text: read-only, one selection at most, no caret.
class SelectableLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit SelectableLabelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Label()->text();
        return QAccessibleWidget::text(t);
    }

    // QAccessibleTextInterface
    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (Label()->hasSelectedText()) {
            *startOffset = Label()->selectionStart();
            *endOffset = *startOffset + static_cast<int>(Label()->selectedText().size());
        }
    }
    int selectionCount() const override { return Label()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { Label()->setSelection(0, 0); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        Label()->setSelection(startOffset, std::max(endOffset - startOffset, 0));
    }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        return Label()->text().mid(startOffset, endOffset < 0 ? -1 : endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Label()->text().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    QLabel* Label() const { return static_cast<QLabel*>(widget()); }
};

QAccessibleInterface* SelectableLabelFactory(const QString& className, QObject* object)
{
    auto* label = className == QLatin1String("QLabel") ? qobject_cast<QLabel*>(object) : nullptr;
    const bool selectable =
        label && (label->textInteractionFlags() &
                  (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard));
    return selectable ? new SelectableLabelAccessible(label) : nullptr;
}

} // namespace

void InstallSelectableLabelAccessible()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(SelectableLabelFactory); });
}
