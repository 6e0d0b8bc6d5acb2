#pragma once

#include "search/TableStatistics.h"
#include "shell/widgets/DialogBase.h"

class CDbfTable;
class QListWidget;

// The statistics of a table's field (dialog 272 "Statistikos
// skaičiavimas"): list 1014 of the captions of the shown fields, the
// first selected; radios 1024 "&Lygios nuliui" (empty values count as 0)
// and 1025 "&Neskaičiuojamos" (they are passed over), the choice kept for
// the process; "&Statistika..." (1) computes over the records that pass
// the table's filter and shows dialog 273, the dialog staying open;
// "Baigti" (2) closes it.
class CStatisticsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 272;

    explicit CStatisticsDlg(CDbfTable& table, QWidget* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    CDbfTable& m_table;
    QListWidget* m_fields;
};

// The result (dialog 273 "Statistika pagal lauką"): the caption (1017),
// the count (1007), the sum (1008), the minimum (1009), the maximum
// (1010) and the mean (1011); "Baigti" closes it.
class CStatisticsResultDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 273;

    explicit CStatisticsResultDlg(const CFieldStatistics& statistics, QWidget* parent = nullptr);
};
