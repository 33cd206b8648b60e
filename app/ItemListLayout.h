#pragma once
// The item list every layout of our own keeps: Qt asks a layout to own, count, hand out and
// give back its items, and that part is the same whatever the layout does with them.

#include <QLayout>
#include <QList>

class CItemListLayout : public QLayout {
public:
    using QLayout::QLayout;
    ~CItemListLayout() override {
        while (QLayoutItem* item = takeAt(0))
            delete item;
    }

    void addItem(QLayoutItem* item) override { m_items.append(item); }
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override {
        return index >= 0 && index < m_items.size() ? m_items[index] : nullptr;
    }
    QLayoutItem* takeAt(int index) override {
        return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
    }

protected:
    QList<QLayoutItem*> m_items;
};
