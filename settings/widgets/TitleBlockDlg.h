#pragma once

#include "shell/widgets/DialogBase.h"

#include <array>
#include <string>

// The title block's fields (dialog 329 "Kampinio štampo laukai"): nine
// texts in the edits "&1:" to "&9:".
class CTitleBlockDlg : public CDialogBase {
public:
    using Texts = std::array<std::string, 9>;

    explicit CTitleBlockDlg(const Texts& texts, QWidget* parent = nullptr);

    const Texts& GetTexts() const { return m_texts; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    Texts m_texts;
};
