#pragma once

#include "shell/widgets/ControlIds.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

// Controls of dialogs and property pages, made with their resource ids
// and their texts (UTF-8 in the source).

inline QCheckBox* MakeCheck(QWidget* parent, int id, const char* text)
{
    return WithId(id, new QCheckBox(QString::fromUtf8(text), parent));
}

inline QRadioButton* MakeRadio(QWidget* parent, int id, const char* text)
{
    return WithId(id, new QRadioButton(QString::fromUtf8(text), parent));
}

// A label whose mnemonic focuses the buddy; id 0 for a label without one.
inline QLabel* MakeLabel(QWidget* parent, int id, const char* text, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    if (id)
        SetControlId(label, id);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

// Enter in a page or dialog stays with its default button.
inline QPushButton* MakeButton(QWidget* parent, int id, const char* text)
{
    auto* button = WithId(id, new QPushButton(QString::fromUtf8(text), parent));
    button->setAutoDefault(false);
    return button;
}
