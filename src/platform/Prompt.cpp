#include "platform/Prompt.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

#include "platform/Application.h"

namespace {

class QtPrompts : public PromptHandler {
public:
    int ShowMessage(QWidget* owner, const MessagePrompt& prompt) override
    {
        const ApplicationScope application;
        if (!application.Ready())
            return IDCANCEL;
        QMessageBox box(owner);
        box.setWindowTitle(QString::fromStdString(prompt.caption));
        box.setText(QString::fromStdString(prompt.text));
        switch (prompt.style & MB_ICONMASK) {
        case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        switch (prompt.style & MB_TYPEMASK) {
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        case QMessageBox::Ok: return IDOK;
        default: return (prompt.style & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
        }
    }

    bool ShowFileDialog(QWidget* owner, const FilePrompt& prompt, std::string& path) override
    {
        const ApplicationScope application;
        if (!application.Ready())
            return false;
        QFileDialog dialog(owner, QString::fromStdString(prompt.title));
        // Qt's own dialog everywhere: the same look on every desktop, and one
        // that tests can drive.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(prompt.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(prompt.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        if (!prompt.open && !(prompt.flags & OFN_OVERWRITEPROMPT))
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        QStringList filters;
        for (const std::string& f : QtNameFilters(prompt.filter))
            filters << QString::fromStdString(f);
        if (!filters.isEmpty())
            dialog.setNameFilters(filters);
        std::string suffix = prompt.defaultExtension;
        if (!suffix.empty() && suffix[0] == '.')
            suffix.erase(0, 1);
        dialog.setDefaultSuffix(QString::fromStdString(suffix));
        if (!prompt.fileName.empty())
            dialog.selectFile(QString::fromStdString(prompt.fileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        path = dialog.selectedFiles().first().toStdString();
        return true;
    }
};

QtPrompts g_qtPrompts;
PromptHandler* g_promptHandler = &g_qtPrompts;

}  // namespace

PromptHandler* SetPromptHandler(PromptHandler* handler)
{
    PromptHandler* previous = g_promptHandler == &g_qtPrompts ? nullptr : g_promptHandler;
    g_promptHandler = handler ? handler : &g_qtPrompts;
    return previous;
}

const char* ApplicationTitle()
{
    return "Orvane";
}

int ShowMessagePrompt(QWidget* owner, const std::string& text, const std::string& caption,
                      UINT style)
{
    return g_promptHandler->ShowMessage(owner, MessagePrompt{text, caption, style});
}

int AfxMessageBox(const std::string& text, UINT type, UINT)
{
    return ShowMessagePrompt(nullptr, text, ApplicationTitle(), type);
}

std::vector<std::string> QtNameFilters(const std::string& windowsFilter)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : windowsFilter) {
        if (c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    std::vector<std::string> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string& description = parts[i];
        std::string patterns = parts[i + 1];
        if (description.empty() && patterns.empty())
            break;  // the closing "||"
        for (char& c : patterns)
            if (c == ';')
                c = ' ';
        // "Prj File(*.prj)" already names its patterns; Qt reads them from there.
        const bool namesPatterns =
            !description.empty() && description.back() == ')' && description.find('(') != std::string::npos;
        filters.push_back(namesPatterns ? description : description + " (" + patterns + ")");
    }
    return filters;
}

bool ShowFilePrompt(QWidget* owner, const FilePrompt& prompt, std::string& path)
{
    return g_promptHandler->ShowFileDialog(owner, prompt, path);
}
