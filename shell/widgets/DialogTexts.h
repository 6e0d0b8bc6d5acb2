#pragma once

#include <span>

class QWidget;

// A text of one of Qt's own dialogs and the one shown in its place (UTF-8).
struct DialogText {
    const char* qt;
    const char* shown;
};

// Gives the labels, buttons and group boxes inside the dialog whose text
// is one of Qt's texts (as given, or as Qt's installed translation gives
// it) the text shown in its place.
void SetDialogTexts(QWidget& dialog, std::span<const DialogText> texts);
