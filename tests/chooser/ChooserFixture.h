// A chooser on the bundled data in a module folder of its own, worked
// through its controls.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "chooser/ProjectionDlg.h"
#include "module/GdalSupport.h"
#include "module/Language.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

class ChooserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedLanguage = g_language;
        g_language = LANGUAGE_ENGLISH;
    }
    void TearDown() override
    {
        m_dialog.reset();
        g_language = m_savedLanguage;
    }

    // Opens the chooser as Orvane::DoModal hands it a WKT.
    CProjectionDlg& Open(const std::string& wkt = "", bool offerHeight = false)
    {
        m_dialog.reset();
        m_dialog = std::make_unique<CProjectionDlg>(ChooserTemplateId());
        m_dialog->SetInput(wkt);
        m_dialog->SetGdalRegistered(true);
        m_dialog->SetHeightOffered(offerHeight);
        EXPECT_TRUE(m_dialog->Create());
        return *m_dialog;
    }

    CProjectionDlg& Dlg() { return *m_dialog; }
    QComboBox* Combo(int id) { return qobject_cast<QComboBox*>(m_dialog->FindControl(id)); }
    std::string Current(int id) { return Combo(id)->currentText().toStdString(); }
    void Choose(int id, const std::string& text) { ChooseComboText(Combo(id), text); }
    void ChooseAt(int id, int index) { ChooseComboEntry(Combo(id), index); }
    bool Enabled(int id) { return m_dialog->FindControl(id)->isEnabled(); }
    QLineEdit* Factor() { return qobject_cast<QLineEdit*>(m_dialog->FindControl(IDC_UNIT_FACTOR)); }
    std::string Summary()
    {
        return qobject_cast<QPlainTextEdit*>(m_dialog->FindControl(IDC_GEOG_SUMMARY))->toPlainText().toStdString();
    }
    QTableWidget* Table() { return qobject_cast<QTableWidget*>(m_dialog->FindControl(IDC_PARAMETERS)); }

    // The parameter list as (name, value text) rows.
    std::vector<std::pair<std::string, std::string>> Parameters()
    {
        std::vector<std::pair<std::string, std::string>> rows;
        CEditListCtrl& list = m_dialog->GetParameterList();
        for (int r = 0; r < list.GetItemCount(); ++r)
            rows.emplace_back(list.GetItemText(r, 0), list.GetItemText(r, 1));
        return rows;
    }
    std::string ParameterText(const std::string& name)
    {
        for (const auto& [n, v] : Parameters())
            if (n == name)
                return v;
        ADD_FAILURE() << "no parameter " << name;
        return "";
    }
    // Types a value into the parameter list as a user does: click the cell,
    // click it again, type, Enter.
    void EditParameter(const std::string& name, const std::string& value)
    {
        QTableWidget* table = Table();
        int row = -1;
        for (int r = 0; r < table->rowCount(); ++r)
            if (table->item(r, 0)->text().toStdString() == name)
                row = r;
        ASSERT_GE(row, 0) << name;
        const QPoint point = table->visualRect(table->model()->index(row, 1)).center();
        QCursor::setPos(table->viewport()->mapToGlobal(point));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, point, 400);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, point, 400);
        QLineEdit* editor = m_dialog->GetParameterList().GetEditor().Editor();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromStdString(value));
        QTest::keyClick(editor, Qt::Key_Return);
    }

    void Click(int id) { QTest::mouseClick(qobject_cast<QPushButton*>(m_dialog->FindControl(id)), Qt::LeftButton); }
    bool PressOk()
    {
        Click(IDOK);
        return m_dialog->GetResult() == IDOK;
    }

    // The line under the parameter list: why a value is none; empty when hidden.
    std::string ProblemLine()
    {
        for (QLabel* label : Table()->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
            if (label->isVisibleTo(label->window()))
                return label->text().toStdString();
        return std::string();
    }

    // The chooser's result after OK, parsed by GDAL.
    const std::string& ResultWkt() { return m_dialog->GetResultWKT(); }
    OsrHandle Result()
    {
        OsrHandle srs = NewSpatialReference(ResultWkt());
        EXPECT_NE(srs, nullptr) << ResultWkt();
        return srs;
    }
    // The second line of the last message: why.
    std::string LastReason()
    {
        if (m_prompts.Messages().empty())
            return "";
        const std::string& text = m_prompts.Messages().back().text;
        const std::size_t line = text.find('\n');
        return line == std::string::npos ? "" : text.substr(line + 1);
    }
    static double Parm(OGRSpatialReferenceH srs, const char* name)
    {
        return OSRGetProjParm(srs, name, -9999.0, nullptr);
    }

    TempModuleFolder m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<CProjectionDlg> m_dialog;
    LanguageSet m_savedLanguage{};
};
