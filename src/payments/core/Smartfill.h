#pragma once

#include <QChar>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

#include "platform/db/Datenbank.h"

// Completion while typing in the name field (from the addresses) and the BIC field (from the bank
// table): armed (0) -> completing (caret position > 0) -> paused (-1) after a lookup found nothing.
class Smartfill {
 public:
  // A record found for a prefix: the text that goes into the field and the record's values
  // (transport fields and address number, or BIC and Bank).
  struct Treffer {
    QString text;
    QVariantMap werte;
  };
  // Looks a prefix up; nullopt when nothing matches. A lookup that fails counts as nothing found.
  using Suche = std::function<std::optional<Treffer>(const QString& praefix)>;

  // What the window does with the typed key.
  struct Tastenergebnis {
    bool opKontoNrLeeren = false;  // name field: a typed name no longer points to an address
    bool gefunden = false;         // the field shows `text`, caret at `cursor`, the rest selected
    QString text;
    int cursor = 0;
    int markierungLaenge = 0;
    bool tasteVerwerfen = false;   // the typed key is part of the completed text
  };

  // GotFocus (and leaving the field): armed again.
  void FeldBetreten();
  void FeldVerlassen() { FeldBetreten(); }

  // A key typed into the field. `feldText` and `cursor` as before the key; `anwendbar`: the option
  // (SmartfillName / SmartfillBank) is on and the field has a source field; `istNamensfeld` clears
  // the address number. Every printable character counts, umlauts included.
  Tastenergebnis TasteGedrueckt(QChar zeichen, const QString& feldText, int cursor, bool istNamensfeld, bool anwendbar,
                                const Suche& suche);
  // The field's text changed (typing, deleting, key release): an empty field re-arms.
  void TextGeaendert(const QString& feldText, bool anwendbar);

  // Leaving the field: the values to take over, when the completed text stands unchanged.
  std::optional<QVariantMap> Uebernahme(const QString& feldText, bool anwendbar) const;

  int Position() const { return m_position; }   // 0 armed, >0 completing, -1 paused
  const QString& Text() const { return m_text; }

 private:
  int m_position = 0;
  QString m_text;
  QVariantMap m_werte;
};

// Prefix lookup in a table or view: the first record in the source's own order whose `feld` starts
// with `praefix` (case ignored, umlauts included; the prefix is a bound, escaped LIKE pattern).
// Returns the record's values of `spalten` (which must include `feld`). Field names come from the
// program or the sender's configuration and are validated identifiers.
DbFehler PraefixSuchen(Datenbank& db, const QString& tabelle, const QString& feld, const QStringList& spalten,
                       const QString& praefix, std::optional<Smartfill::Treffer>& treffer);
