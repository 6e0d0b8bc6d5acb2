#pragma once

#include "search/CheckTreeModel.h"

#include <QPixmap>
#include <QTreeWidget>

#include <vector>

// A tree control whose items carry a three-state check box that
// propagates (CCheckTreeModel): a left click on an item's state image, or
// Space on the selected item, toggles it, its descendants follow and its
// ancestors show whether all, none or some of their children are checked.
// Other clicks and keys act as in a plain tree. The state images are
// 16-pixel pictures in the order unchecked, checked, partly checked, from
// bitmap 375 unless the owner gives others. Items are made and removed
// only through InsertItem and DeleteAllItems.
class CheckTreeCtrl : public QTreeWidget {
public:
    static constexpr int kStateBitmap = 375;
    static constexpr int kImageSize = 16;

    explicit CheckTreeCtrl(QWidget* parent = nullptr);

    // The pictures of the items, 16 pixels square, by index.
    void SetImageList(std::vector<QPixmap> images) { m_images = std::move(images); }
    // A strip of 16-pixel state pictures; a resource's by its id.
    void SetStateImages(const QPixmap& strip);
    bool LoadStateImages(int bitmapId);

    // A new unchecked item, last under parent (null: top level), showing
    // picture image of the image list (-1 none).
    QTreeWidgetItem* InsertItem(const QString& text, int image, QTreeWidgetItem* parent = nullptr);
    void DeleteAllItems();

    // 1 unchecked, 2 checked, 3 partly checked.
    int GetCheckState(const QTreeWidgetItem* item) const;
    // Checked or partly checked.
    bool GetCheck(const QTreeWidgetItem* item) const;
    void SetCheck(QTreeWidgetItem* item, bool check);
    void SetDescendants(QTreeWidgetItem* item, int state);
    void UpdateParents(QTreeWidgetItem* item);
    void CheckAll();
    void Toggle(QTreeWidgetItem* item);

    // Where the item's state picture stands, in the viewport; empty when
    // the item is not shown.
    QRect StateImageRect(const QTreeWidgetItem* item) const;
    const QPixmap& StateImage(int state) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class CDelegate;

    int IdOf(const QTreeWidgetItem* item) const;
    // The item whose state picture is under the point; null when none.
    QTreeWidgetItem* StateImageAt(const QPoint& point) const;
    void Changed() { viewport()->update(); }

    CCheckTreeModel m_model;
    std::vector<QPixmap> m_images;
    std::vector<QPixmap> m_stateImages;
};
