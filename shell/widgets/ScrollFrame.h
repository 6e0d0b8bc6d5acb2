#pragma once

#include <QAbstractScrollArea>

// A window that scrolls a content of a given size in its client area with
// its own bars: none while the content fits, both taken into account when
// one is needed. Lines scroll by 10 pixels, pages by half the excess.
// Windows built on it paint their content from GetScrollPosition().
class CScrollFrame : public QAbstractScrollArea {
public:
    explicit CScrollFrame(QWidget* parent = nullptr);

    void SetContentSize(int width, int height);
    QSize GetContentSize() const { return {m_contentWidth, m_contentHeight}; }
    // The content's pixel at the client area's top left.
    QPoint GetScrollPosition() const;

    static constexpr int kLineStep = 10;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void RecalcScrollBars();

    int m_contentWidth = 0;
    int m_contentHeight = 0;
    bool m_busy = false;
};
