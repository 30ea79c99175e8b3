#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The mandate sequence of an address as text: code, hyphen, caption ("0-Ohne",
// "1-Einmaliger Einzug (Basis)", ... "15-Mehrfach-Einzug Automatisch (Firmen)").
// The eleven texts in code order 0-5, 11-15.
const QStringList& MandatSequenzTexte();
// The text of one code; nullopt for a code without text.
std::optional<QString> MandatSequenzText(int code);
