#pragma once

#include <QString>

#include <optional>

class QPrintPreviewDialog;

// The preview's zoom box in German: "89,2 %" instead of Qt's "89.2%", in the list and in the field, and a
// German entry ("150", "87,5 %") or a chosen list value zooms as the user expects.
namespace Vorschauzoom {

// "89.2%" -> "89,2 %"; any other text comes back unchanged.
QString Deutsch(const QString& text);
// "87,5 %", "87.5", "150" -> the zoom factor (0.875, 1.5); nullopt for no positive number.
std::optional<double> Faktor(const QString& text);
// Puts the German form and reading on the dialog's zoom box (called before the dialog shows).
void Einrichten(QPrintPreviewDialog& dialog);

}  // namespace Vorschauzoom
