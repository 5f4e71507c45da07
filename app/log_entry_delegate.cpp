#include "app/log_entry_delegate.h"

#include "app/bidi_safe_text.h"

namespace velmor {

void LogEntryDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() > ShownCharacters) {
        qsizetype shown = ShownCharacters;
        // Never half a character.
        if (option->text.at(shown - 1).isHighSurrogate())
            --shown;
        option->text.truncate(shown);
    }
    option->text = bidiSafeText(option->text);
}

} // namespace velmor
