#include "platform/Dialog.h"

#include <algorithm>
#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QPushButton>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QLayout>
#include <QUiLoader>

#include "module/Module.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/DataExchange.h"
#include "platform/DialogWidget.h"
#include "platform/ForeignOwner.h"
#include "platform/SelectableLabelAccessible.h"
#include "platform/ReportListWidget.h"

namespace {

// Makes our own widgets where a template names the plain Qt classes.
class TemplateLoader : public QUiLoader {
public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override
    {
        QWidget* widget = nullptr;
        // The template's top widget (its parent, if any, is the owner window).
        if (!m_madeDialog && className == QLatin1String("QDialog")) {
            widget = new DialogWidget(parent);
            m_madeDialog = true;
        }
        else if (className == QLatin1String("QTableWidget"))
            widget = new ReportListWidget(parent);
        if (!widget)
            return QUiLoader::createWidget(className, parent, name);
        widget->setObjectName(name);
        return widget;
    }

private:
    bool m_madeDialog = false;
};

}  // namespace

void DialogWidget::accept()
{
    if (m_owner)
        m_owner->DispatchCommand(IDOK);
    else
        QDialog::accept();
}

void DialogWidget::reject()
{
    if (m_owner)
        m_owner->DispatchCommand(IDCANCEL);
    else
        QDialog::reject();
}

CDialog::CDialog(unsigned templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog()
{
    DestroyWindow();
}

bool CDialog::MakeWidget()
{
    if (m_dialog)
        return true;
    if (!HaveWidgetApplication())
        return false;
    std::size_t size = 0;
    const char* text = FindDialogTemplate(m_templateId, &size);
    if (!text)
        return false;
    QByteArray bytes = QByteArray::fromRawData(text, static_cast<int>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TemplateLoader loader;
    // A template is in its language already; no translator (the host's
    // included) may change the texts it keeps English on purpose.
    loader.setTranslationEnabled(false);
    // Without a parent of its own a dialog belongs to the window the user is
    // working in (the host's, or the dialog that opened it): modal over it,
    // centred on it. A program without windows gets a window of its own.
    QWidget* parentWidget = m_parent ? m_parent->GetWidget() : nullptr;
    if (!parentWidget && !m_foreignOwner)
        parentWidget = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                         : QApplication::activeWindow();
    QWidget* widget = loader.load(&buffer, parentWidget);
    auto* dialog = qobject_cast<DialogWidget*>(widget);
    if (!dialog) {
        delete widget;
        return false;
    }
    if (parentWidget)
        dialog->setWindowFlags(dialog->windowFlags() | Qt::Dialog);
    dialog->SetOwner(this);
    m_dialog = dialog;
    m_widget = dialog;
    m_result = 0;
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        QVariant id = child->property(kControlIdProperty);
        if (id.isValid())
            m_controls.emplace(id.toInt(), child);
    }
    InstallSelectableLabelAccessible();
    GiveLabelsTheirControls(dialog);
    ConnectControls();
    return true;
}

namespace {

// The control beside the layout's item `index`, `step` places on: the next
// or previous item of its box layout, the next or previous cell of its grid row.
QWidget* ControlBeside(QLayout* layout, int index, int step)
{
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        QLayoutItem* beside = grid->itemAtPosition(row, step > 0 ? column + columnSpan : column - 1);
        return beside ? beside->widget() : nullptr;
    }
    const int at = index + step;
    QLayoutItem* beside = at >= 0 && at < layout->count() ? layout->itemAt(at) : nullptr;
    return beside ? beside->widget() : nullptr;
}

// A label's or a button's text as a name: without its mnemonic's "&" and
// its closing colon ("Semi-minor axis" of "Se&mi-minor axis:").
QString NameOf(QString text)
{
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A)))
        text.chop(1);
    return text.trimmed();
}

bool IsNamable(QWidget* control)
{
    return control && control->focusPolicy() != Qt::NoFocus && !qobject_cast<QLabel*>(control);
}

// A unit sign ("°", "′", "″"): no letter in it, it names the field before it.
bool IsUnitSign(const QString& text)
{
    return !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

}  // namespace

// A label is its control's name ("Search:" names the search field), as a
// screen reader tells it and as Alt with the label's letter reaches it. A
// unit sign after a field names that field with the row's label ("Longitude
// ′"), never the next one; a radio button before a field names it
// ("Semi-minor axis").
void CDialog::GiveLabelsTheirControls(QWidget* dialog)
{
    for (QLayout* layout : dialog->findChildren<QLayout*>()) {
        QString rowName;
        for (int i = 0; i < layout->count(); ++i) {
            QWidget* item = layout->itemAt(i)->widget();
            if (auto* label = qobject_cast<QLabel*>(item)) {
                const QString text = NameOf(label->text());
                if (IsUnitSign(text)) {
                    QWidget* field = ControlBeside(layout, i, -1);
                    if (IsNamable(field))
                        field->setAccessibleName(rowName.isEmpty() ? text : rowName + QLatin1Char(' ') + text);
                    continue;
                }
                rowName = text;
                QWidget* control = label->buddy() ? nullptr : ControlBeside(layout, i, 1);
                if (!IsNamable(control))
                    continue;
                label->setBuddy(control);
                // Named by the label itself: a list would else be named by its
                // current entry, and a field by the label's colon too.
                if (control->accessibleName().isEmpty())
                    control->setAccessibleName(text);
            } else if (auto* button = qobject_cast<QRadioButton*>(item)) {
                auto* field = qobject_cast<QLineEdit*>(ControlBeside(layout, i, 1));
                if (field && field->accessibleName().isEmpty())
                    field->setAccessibleName(NameOf(button->text()));
            }
        }
    }
}

void CDialog::ConnectControls()
{
    for (const auto& [id, widget] : m_controls) {
        const int controlId = id;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QObject::connect(button, &QAbstractButton::clicked, m_dialog,
                             [this, controlId] { DispatchCommand(controlId); });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            // activated: only the user's own choice, never a programmatic one.
            QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), m_dialog,
                             [this, controlId](int) { DispatchSelChange(controlId); });
        }
    }
}

INT_PTR CDialog::DoModal()
{
    // Declared first: the application outlives the dialog's window.
    const ApplicationScope application;
    if (!application.Ready() || !MakeWidget())
        return -1;
    // Declared before the dialog is shown, destroyed after it is gone.
    ForeignOwner owner(m_foreignOwner);
    std::string notOwned;
    if (m_foreignOwner && !owner.Own(m_dialog, notOwned))
        std::fprintf(stderr, "Orvane: %s; the chooser is a window of its own\n", notOwned.c_str());
    m_modalRunning = true;
    OnInitDialog();
    // EndDialog may already have been called by the initialisation.
    int result = m_result;
    if (result == 0) {
        m_dialog->setWindowModality(Qt::ApplicationModal);
        result = m_dialog->exec();
    }
    m_modalRunning = false;
    DestroyWindow();
    m_result = result;
    return result;
}

BOOL CDialog::Create()
{
    if (!MakeWidget())
        return FALSE;
    OnInitDialog();
    if (m_result == 0)
        m_dialog->show();
    return TRUE;
}

void CDialog::DestroyWindow()
{
    m_items.clear();
    m_controls.clear();
    if (m_dialog) {
        m_dialog->SetOwner(nullptr);
        delete m_dialog;
        m_dialog = nullptr;
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    if (!m_dialog)
        return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    if (m_dialog)
        m_dialog->done(result);
}

CWnd* CDialog::GetDlgItem(int id)
{
    QWidget* widget = FindControl(id);
    if (!widget)
        return nullptr;
    std::unique_ptr<CWnd>& item = m_items[id];
    if (!item)
        item = std::make_unique<CWnd>(widget);
    return item.get();
}

QWidget* CDialog::FindControl(int id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CDialog::SetEditReadOnly(int id, bool readOnly)
{
    CEdit edit;
    edit.Attach(FindControl(id));
    edit.SetReadOnly(readOnly ? TRUE : FALSE);
}

void CDialog::OnClicked(int id, std::function<void()> handler)
{
    m_clickHandlers[id] = std::move(handler);
}

void CDialog::OnSelChange(int id, std::function<void()> handler)
{
    m_selChangeHandlers[id] = std::move(handler);
}

void CDialog::DispatchCommand(int id)
{
    auto it = m_clickHandlers.find(id);
    if (it != m_clickHandlers.end())
        it->second();
    else if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void CDialog::DispatchSelChange(int id)
{
    auto it = m_selChangeHandlers.find(id);
    if (it != m_selChangeHandlers.end())
        it->second();
}
