#pragma once

#include <string>
#include <string_view>

// What the coordinate edits do with each key, without the window. A
// coordinate is shown in fixed sections: the hemisphere letter, degrees
// (three digits for a longitude, two for a latitude), minutes and seconds
// with tenths ("E025°16'46.9" and a double quote), or, without seconds,
// degrees and decimal minutes ("E025°16.7833"). The user fills a section
// by typing digits and steps through the sections with the arrows; the
// last section is edited freely. Texts are code page 1257, one byte a
// character (the degree sign is 0xB0), so positions are characters.
class CCoordEditRules {
public:
    enum Mode { kModeNotSet = 0, kLongitude = 1, kLatitude = 2 };
    enum Key { kHome, kEnd, kLeft, kRight, kUp, kDown, kDelete };
    static constexpr char kBackspace = '\b';

    // The edit's text and selection; the caret stands at the selection's end.
    struct Edit {
        std::string text;
        int selStart = 0;
        int selEnd = 0;
    };

    // With seconds: sections letter, degrees, minutes, seconds; without:
    // letter, degrees, decimal minutes.
    explicit CCoordEditRules(bool withSeconds) : m_withSeconds(withSeconds) {}

    bool HasSeconds() const { return m_withSeconds; }
    int GetMode() const { return m_mode; }
    int GetLastSection() const { return m_withSeconds ? 3 : 2; }
    int GetSection() const { return m_section; }
    // Where a section starts in a text of the mode (a longitude's before
    // the mode is set).
    int GetSectionStart(int section) const;
    // The characters of a section in a text of the length: the letter is
    // one, degrees and minutes end before the sign that follows them, the
    // last section runs to the end of the text.
    void GetSectionRange(int section, int length, int& start, int& end) const;
    // The section a character position falls in.
    int SectionAt(int position) const;
    // The hemisphere's largest value: 180 for a longitude, 90 for a latitude.
    int GetMaxDegrees() const { return m_mode == kLatitude ? 90 : 180; }

    // Sets the mode and gives the value's text: for a longitude or a
    // latitude, with seconds "%c%03d°%02d'%02d.%1d" and a double quote
    // (two-digit degrees for a latitude), without them degrees and decimal
    // minutes (core/LatLonText.h forms 4 and 5). Empty for a value out of range.
    std::string SetValue(int mode, double value);
    std::string FormatValue(double value) const;
    // Reads the text as "%c%d°%d'%lf" (without seconds "%c%d°%lf"), the
    // parts not found being 0: degrees + minutes / 60 + seconds / 3600,
    // negative for W and S, never beyond the hemisphere's largest value.
    // An empty text reads 0. The parts are kept for the arrows.
    double Parse(std::string_view text);

    // Makes the section current (a negative one keeps the current one),
    // forgets the digits typed and selects the section's text.
    void SelectSection(int section, Edit& edit);
    // A typed character (kBackspace for the backspace key); false when it
    // is refused with a beep.
    bool TypeChar(char c, Edit& edit);
    // A key; false when it is refused with a beep.
    bool PressKey(Key key, bool shift, Edit& edit);

private:
    // The text stands in the shape of the mode: the letter, the degree
    // sign and the minutes' quote where they belong.
    bool IsWellFormed(const std::string& text) const;
    // A text out of shape is written again from what it reads as.
    void Reshape(Edit& edit);
    void ReplaceSection(Edit& edit, const std::string& text) const;
    bool TypeDigit(int digit, Edit& edit);
    bool TypeInLastSection(char c, Edit& edit);
    bool Step(int step, Edit& edit);
    char Letter(bool negative) const;

    bool m_withSeconds;
    int m_mode = kModeNotSet;
    int m_section = 1;
    int m_typed = 0;
    // The parts last read: the letter, degrees, minutes, and seconds (or
    // decimal minutes without seconds).
    char m_letter = 0;
    int m_degrees = 0;
    int m_minutes = 0;
    double m_last = 0;
};
