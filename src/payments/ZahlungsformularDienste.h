#pragma once

#include <QString>
#include <QVariantList>

#include <optional>

#include "payments/core/Zahlungsbefehl.h"
#include "platform/db/DbFehler.h"
#include "platform/db/SqlText.h"

class Datenbank;
class ZahlungsformularZustand;
struct Suchkriterium;
struct Zeilenstand;

// What the parts of the payment form (header fields, mandate group, line area, browse grid) use
// of the window they sit in: the database, the form's state, its commands, its status line and
// its messages. The window implements it; a part never reaches into another part's widgets except
// through the window.
class ZahlungsformularDienste {
 public:
  virtual Datenbank* Db() const = 0;
  virtual ZahlungsformularZustand& FormZustand() = 0;
  virtual std::optional<qint64> AktuelleZahlungNr() const = 0;
  // The current payment's lines and total as the form shows them: every write of lines compares with it
  // and leaves there what it stored.
  virtual Zeilenstand& GezeigteZeilen() = 0;
  // A write of lines refused because another workstation changed them meanwhile (InzwischenGeaendert):
  // the message, and the stored lines in place of the shown ones.
  virtual void ZeilenInzwischenGeaendert(const DbFehler& fehler) = 0;
  // Toolbar1_ButtonClick: hidden and disabled buttons do nothing.
  virtual bool BefehlAusfuehren(Zahlungsbefehl befehl) = 0;
  virtual void StatusSetzen(const QString& text) = 0;
  virtual void DbFehlerMelden(const QString& titel, const DbFehler& fehler) = 0;
  // The modal search list: true when a row was chosen (its values in `werte`).
  virtual bool SuchlisteZeigen(int modus, const Bedingung& filter, const Suchkriterium& kriterium, bool suchfeld,
                               QVariantList& werte) = 0;

 protected:
  ~ZahlungsformularDienste() = default;
};
