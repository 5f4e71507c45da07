#include "app/log_entry_delegate.h"

namespace velmor {

void LogEntryDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() <= ShownCharacters)
        return;
    qsizetype shown = ShownCharacters;
    // Never half a character.
    if (option->text.at(shown - 1).isHighSurrogate())
        --shown;
    option->text.truncate(shown);
}

} // namespace velmor
