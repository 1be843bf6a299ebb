#pragma once
// Filling the editable combos of the entry dialogs from the model's texts.
#include <QComboBox>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace tallowmere::ui {

inline QStringList ToStringList(const std::vector<std::string>& entries) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries)
        list.push_back(QString::fromStdString(entry));
    return list;
}

inline void SetComboText(QComboBox& combo, const std::string& text) {
    // An editable combo shows its first item once it has a model.
    combo.setCurrentIndex(-1);
    combo.setEditText(QString::fromStdString(text));
}

}  // namespace tallowmere::ui
