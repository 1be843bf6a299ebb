#pragma once
// What the online dialogs share: their texts from the string table and a
// label that shows its text as it is.
#include <QLabel>
#include <QString>
#include <string>

#include "model/string_table.h"

namespace tallowmere::ui {

inline QString StringText(int id) {
    return QString::fromStdString(LoadString(id));
}

inline QLabel* PlainLabel(const QString& text, QWidget* parent, QWidget* buddy = nullptr) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    if (buddy != nullptr)
        label->setBuddy(buddy);
    return label;
}

}  // namespace tallowmere::ui
