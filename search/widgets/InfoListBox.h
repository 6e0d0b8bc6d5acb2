#pragma once

#include "platform/CommandTarget.h"
#include "search/InfoLines.h"

#include <QFont>
#include <QListWidget>

#include <string>
#include <vector>

class CCommandActions;

// The list of the object information window (control 1014): each line a
// name in dark blue, a vertical line at the column separator and the
// value beside it, in green and underlined when it is a link; a line
// under each value with its further lines. Over a link the pointer is a
// hand (cursor 110); a right click on a link offers menu 182 "Atributas"
// ("Parodyti" 30114 by the file's type, "Parodyti su standartine
// programa" 30116), a double click opens it by its type
// (OpenAttributeLink). The entries' rules are CInfoLines'.
class CInfoListBox : public QListWidget {
public:
    static constexpr int kControlId = 1014;
    static constexpr int kLinkMenu = 182;
    static constexpr int kCmdOpenLink = 30114;
    static constexpr int kCmdOpenWithDefault = 30116;
    static constexpr int kHandCursor = 110;

    explicit CInfoListBox(QWidget* parent = nullptr);
    ~CInfoListBox() override;

    void SetInfo(const std::vector<std::string>& lines, const std::string& folder);
    const CInfoLines& Lines() const { return m_lines; }

    const QFont& BoldFont() const { return m_bold; }
    const QFont& UnderlinedFont() const { return m_underlined; }
    int ItemHeight() const { return m_itemHeight; }
    // The column separator's x in the list's viewport.
    int SeparatorX() const { return m_separatorX; }
    // Opens the selected entry's link: by its type, or with the default
    // program; nothing for an entry that is no link.
    void OpenSelectedLink(bool defaultProgram);
    CCommandActions& Actions() { return *m_actions; }

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    class CDelegate;

    void MakeFonts();
    int RowAt(const QPoint& point) const;

    CInfoLines m_lines;
    QFont m_bold;
    QFont m_underlined;
    int m_itemHeight = 0;
    int m_averageCharWidth = 6;
    int m_separatorX = 0;
    CCommandTable m_commands;
    CCommandActions* m_actions;
};
