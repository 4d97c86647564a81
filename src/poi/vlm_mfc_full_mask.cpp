#include "poi/vlm_mfc_full_mask.h"

#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

#include "platform/message_box.h"

namespace poi {

void FullMask::SetMask(QStringView pattern) {
    elements.clear();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        auto element = std::make_unique<MaskElement>();
        if (pattern[i] != u'[') {
            element->kind = MaskElement::kLiteral;
            element->chars = pattern[i];
            elements.push_back(std::move(element));
            continue;
        }
        element->kind = MaskElement::kClass;
        // Up to the next ']', or to the end of a pattern that never closes the class.
        for (++i; i < pattern.size() && pattern[i] != u']'; ++i) {
            const QChar first = pattern[i];
            if (i + 2 < pattern.size() && pattern[i + 1] == u'-' && pattern[i + 2] != u']') {
                const QChar last = pattern[i + 2];
                element->chars += first;
                for (char16_t c = first.unicode(); c < last.unicode();) {
                    element->chars += QChar(++c);
                }
                i += 2;
            } else {
                element->chars += first;
            }
        }
        elements.push_back(std::move(element));
    }
}

const QString& FullMask::SetText(const QString& text) {
    display.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar shown;
        if (!Validate(int(i), text[i], shown)) {
            break;
        }
        display += shown;
    }
    return display;
}

void FullMask::OnKeyDown(int key) {
    deletePressed = key == Qt::Key_Delete;
    backspacePressed = key == Qt::Key_Backspace;
}

bool FullMask::Validate(int position, QChar character, QChar& shown) const {
    if (position < 0 || position >= ElementCount()) {
        return false;
    }
    const MaskElement& element = Element(position);
    if (element.kind == MaskElement::kLiteral) {
        shown = element.chars.isEmpty() ? character : element.chars[0];
        return true;
    }
    if (!element.chars.contains(character)) {
        return false;
    }
    shown = character;
    return true;
}

int FullMask::NextPosition(int position) const {
    if (backspacePressed) {
        if (position - 1 < 0) {
            return position;
        }
        for (int i = std::min(position - 1, ElementCount() - 1); i >= 0; --i) {
            if (Element(i).kind == MaskElement::kClass) {
                return i + 1;
            }
        }
        return 0;
    }
    if (position >= ElementCount() - 1) {
        return position;
    }
    for (int i = std::max(position, 0); i < ElementCount(); ++i) {
        if (Element(i).kind == MaskElement::kClass) {
            return i;
        }
    }
    return ElementCount();
}

QString FullMask::InvalidMessage(int position) const {
    if (position < 0 || position >= ElementCount()) {
        return {};
    }
    return QStringLiteral("You can Only Type [%1] here.").arg(Element(position).chars);
}

void FullMask::PutBack(int position) {
    if (position < 0 || position >= ElementCount() || position > display.size()) {
        return;
    }
    const MaskElement& element = Element(position);
    const QChar restored = element.kind == MaskElement::kLiteral ? element.chars[0] : prompt;
    if (position < display.size()) {
        display[position] = restored;
    } else {
        display += restored;
    }
}

FullMask::Update FullMask::OnUpdate(const QString& windowText, int caret) {
    Update update;
    if (windowText == display) {
        return update;
    }
    const int s = std::clamp(caret, 0, int(windowText.size()));
    update.changed = true;
    if (backspacePressed) {
        PutBack(s);
        update.caret = NextPosition(s);
    } else if (deletePressed) {
        PutBack(s);
        update.caret = NextPosition(s + 1);
    } else {
        const int p = s - 1;
        if (p < 0) {
            // Nothing typed before the caret: the editor's text stays as it is.
            update.changed = false;
            return update;
        }
        QChar shown;
        if (Validate(p, windowText[p], shown)) {
            if (p < display.size()) {
                display[p] = shown;
            } else {
                display += shown;
            }
            update.caret = NextPosition(s);
        } else {
            update.invalidPosition = p < ElementCount() ? p : -1;
            update.caret = std::max(s - 1, 0);
        }
    }
    update.text = display;
    update.caret = std::clamp(update.caret, 0, int(display.size()));
    return update;
}

VlmMFCFullMask::VlmMFCFullMask(QWidget* parent) : QLineEdit(parent) {
    // Changes that come without a key (pasting, the context menu, an input method) are put
    // right once the editor has finished with them.
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!inKeyPress_ && !updating_) {
            QTimer::singleShot(0, this, &VlmMFCFullMask::OnUpdate);
        }
    });
}

void VlmMFCFullMask::SetText(const QString& text) {
    updating_ = true;
    setText(mask_.SetText(text));
    setCursorPosition(int(mask_.Display().size()));
    updating_ = false;
}

void VlmMFCFullMask::OnUpdate() {
    const FullMask::Update update = mask_.OnUpdate(text(), cursorPosition());
    if (!update.changed) {
        return;
    }
    updating_ = true;
    setText(update.text);
    setCursorPosition(update.caret);
    updating_ = false;
    if (update.invalidPosition >= 0) {
        ShowInvalid(update.invalidPosition);
    }
}

void VlmMFCFullMask::ShowInvalid(int position) {
    const QString message = mask_.InvalidMessage(position);
    if (!message.isEmpty()) {
        platform::ShowMessageBox(message);
    }
}

void VlmMFCFullMask::keyPressEvent(QKeyEvent* event) {
    OnKeyDown(event->key());
    inKeyPress_ = true;
    const QString upper = event->text().toUpper();
    if (upper != event->text()) {
        // An upper-case field: the letter typed is entered as its capital.
        QKeyEvent capital(event->type(), event->key(), event->modifiers(), upper,
                          event->isAutoRepeat(), ushort(event->count()));
        QLineEdit::keyPressEvent(&capital);
        event->setAccepted(capital.isAccepted());
    } else {
        QLineEdit::keyPressEvent(event);
    }
    inKeyPress_ = false;
    OnUpdate();
}

}  // namespace poi
