#pragma once

// Masked entry of a fixed-form text such as a coordinate: a pattern gives each character
// position either a literal (always shown, never removed) or a class of allowed characters.
// Typing overwrites, the caret jumps over literal positions, Backspace and Delete put back the
// literal or the prompt '_', and a character the class does not allow is refused with
// "You can Only Type [%s] here.".
//
// Pattern language: "[...]" is a class of the characters written inside it, where a '-'
// between two characters adds the range after the first up to and including the second (by
// code value): "[0-9]" the digits, "[NS]" N and S. Any other character is a literal.

#include <QLineEdit>
#include <QString>

#include <memory>
#include <vector>

class QKeyEvent;

namespace poi {

// Latitude N 41°09.88' and longitude E 023°43.50'.
inline constexpr char16_t kLatitudeMask[] = u"[NS] [0-9][0-9]°[0-9][0-9].[0-9][0-9]'";
inline constexpr char16_t kLongitudeMask[] = u"[WE] [0-9][0-9][0-9]°[0-9][0-9].[0-9][0-9]'";

struct MaskElement {
    static constexpr int kLiteral = 0;
    static constexpr int kClass = 1;
    int kind = kLiteral;
    QString chars;  // the literal, or every character of the class in the order built
};

// The masked editing logic without a widget: it answers what the text and caret become after
// each change an ordinary line editor makes.
class FullMask {
public:
    static constexpr QChar kPrompt = u'_';

    // What OnUpdate decided.
    struct Update {
        bool changed = false;      // false: the text already was the display, nothing to do
        QString text;              // the text to show (the display)
        int caret = 0;             // selection start and end
        int invalidPosition = -1;  // a refused character here: ShowInvalid (-1: none)
    };

    // Replaces the elements; the display does not change.
    void SetMask(QStringView pattern);
    // The display becomes as much of `text` as the mask takes from its start; returns it (the
    // caret goes after it).
    const QString& SetText(const QString& text);
    // Remembers whether the key is Delete or Backspace (Qt key codes).
    void OnKeyDown(int key);
    // After the line editor changed its text to `windowText` with the caret at `caret`.
    Update OnUpdate(const QString& windowText, int caret);
    bool Validate(int position, QChar character, QChar& shown) const;
    int NextPosition(int position) const;
    // "You can Only Type [%s] here." for a position of the pattern; empty past its end.
    QString InvalidMessage(int position) const;

    const QString& Display() const { return display; }
    int ElementCount() const { return int(elements.size()); }
    const MaskElement& Element(int index) const { return *elements[size_t(index)]; }

private:
    // The repair of Backspace and Delete: the literal or the prompt back at `position`.
    void PutBack(int position);

    std::vector<std::unique_ptr<MaskElement>> elements;
    QString display;
    QChar prompt = kPrompt;
    bool deletePressed = false;
    bool backspacePressed = false;
};

// A line edit that enters text through a FullMask, in upper case.
class VlmMFCFullMask : public QLineEdit {
    Q_OBJECT
public:
    explicit VlmMFCFullMask(QWidget* parent = nullptr);

    void SetMask(QStringView pattern) { mask_.SetMask(pattern); }
    void SetText(const QString& text);
    void OnKeyDown(int key) { mask_.OnKeyDown(key); }
    // Brings the shown text back to the mask after the editor changed it.
    void OnUpdate();
    bool Validate(int position, QChar character, QChar& shown) const {
        return mask_.Validate(position, character, shown);
    }
    int NextPosition(int position) const { return mask_.NextPosition(position); }
    // The message box for a refused character at `position`; nothing past the pattern.
    void ShowInvalid(int position);

    const FullMask& Mask() const { return mask_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    FullMask mask_;
    bool inKeyPress_ = false;
    bool updating_ = false;
};

}  // namespace poi
