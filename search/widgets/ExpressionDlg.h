#pragma once

#include "search/ExprEditRules.h"
#include "settings/LayerSheetRules.h"
#include "shell/widgets/DialogBase.h"

#include <string>
#include <vector>

class CLayer;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;

// Dialog 357 "Reiškinys": a filter expression of a layer's table edited
// as text, with the language's operators and functions, the fields and
// their values inserted at the caret, and "&Tikrinti", which compiles it
// (search/ExprEditRules.h).
class CExpressionDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 357;
    static constexpr int kTextCombo = 1001;
    static constexpr int kSignatureText = 1002;
    static constexpr int kExplanationText = 1003;
    static constexpr int kLogicalCombo = 1004;
    static constexpr int kDateCombo = 1005;
    static constexpr int kExpressionEdit = 1006;
    static constexpr int kFieldList = 1008;
    static constexpr int kValueList = 1009;
    static constexpr int kFillCheck = 1010;
    static constexpr int kMathCombo = 1011;
    static constexpr int kCheckButton = 1012;

    explicit CExpressionDlg(const CLayer& layer, QWidget* parent = nullptr);

    void SetExpression(std::string text) { m_text = std::move(text); }
    const std::string& GetExpression() const { return m_text; }
    // Compiles the text over the layer's table: true when it has no error;
    // else its message is shown and the caret goes where the compiler stopped.
    bool CheckExpression();

protected:
    void OnInitDialog() override;
    void OnOK() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* MakeEntryCombo(int id, ExprEntryGroup group);
    void Describe(const QComboBox* combo);
    void Insert(const std::string& text, int caret);
    void OnFieldChosen();
    void OnValueChosen();

    const CLayer& m_layer;
    std::vector<CFieldChoice> m_fields;
    std::string m_text;
    std::string m_filledFor;
    QPlainTextEdit* m_edit;
    QListWidget* m_fieldList;
    QListWidget* m_values;
    QLabel* m_signature;
    QLabel* m_explanation;
};
