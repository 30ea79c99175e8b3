#include "platform/ui/Meldung.h"

#include "platform/ui/MeldungsDialoge.h"

#include <QApplication>
#include <QStringList>
#include <QToolTip>
#include <QWidget>

namespace {

MeldungsDialoge& Dialoge() {
  static MeldungsDialoge dialoge;
  return dialoge;
}

MeldungsBackend*& Aktiv() {
  static MeldungsBackend* aktiv = nullptr;
  return aktiv;
}

QString TitelOderProgramm(const QString& titel) { return titel.isEmpty() ? Meldung::ProgrammTitel() : titel; }

}  // namespace

const QString& Meldung::AnwendungsTitel() {
  static const QString titel = QStringLiteral("Tamo-SEPA 1.0");
  return titel;
}

const QString& Meldung::ProgrammTitel() {
  static const QString titel = QStringLiteral("Tamo-SEPA");
  return titel;
}

MeldungsBackend& Meldung::Backend() {
  MeldungsBackend* b = Aktiv();
  return b ? *b : static_cast<MeldungsBackend&>(Dialoge());
}

MeldungsBackend* Meldung::BackendSetzen(MeldungsBackend* backend) {
  MeldungsBackend* vorher = Aktiv();
  Aktiv() = backend;
  return vorher;
}

MeldungsAntwort Meldung::Zeigen(const QString& text, MeldungsKnoepfe knoepfe, MeldungsSymbol symbol,
                                const QString& titel, QWidget* eltern) {
  return Backend().Zeigen(MeldungsAnfrage{TitelOderProgramm(titel), text, knoepfe, symbol}, eltern);
}

void Meldung::Hinweis(const QString& text, const QString& titel, QWidget* eltern) {
  Zeigen(text, MeldungsKnoepfe::Ok, MeldungsSymbol::Information, titel, eltern);
}

void Meldung::Warnung(const QString& text, const QString& titel, QWidget* eltern) {
  Zeigen(text, MeldungsKnoepfe::Ok, MeldungsSymbol::Ausruf, titel, eltern);
}

void Meldung::Fehler(const QString& text, const QString& titel, QWidget* eltern) {
  Zeigen(text, MeldungsKnoepfe::Ok, MeldungsSymbol::Kritisch, titel, eltern);
}

bool Meldung::Frage(const QString& text, const QString& titel, QWidget* eltern) {
  return Zeigen(text, MeldungsKnoepfe::JaNein, MeldungsSymbol::Frage, titel, eltern) == MeldungsAntwort::Ja;
}

bool Meldung::Bestaetigen(const QString& text, const QString& titel, QWidget* eltern) {
  return Backend().Zeigen(MeldungsAnfrage{TitelOderProgramm(titel), text, MeldungsKnoepfe::OkAbbrechen,
                                          MeldungsSymbol::Ausruf, true},
                          eltern) == MeldungsAntwort::Ok;
}

QString Meldung::Eingabe(const QString& aufforderung, const QString& titel, const QString& vorgabe,
                         QWidget* eltern) {
  return Backend().Eingabe(EingabeAnfrage{TitelOderProgramm(titel), aufforderung, vorgabe}, eltern).value_or(QString());
}

void MeldungsBackend::Randhinweis(const QString& text, QWidget* feld) {
  if (!feld) return;
  QApplication::beep();
  QToolTip::showText(feld->mapToGlobal(QPoint(0, feld->height())), QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')),
                     feld, {}, 5000);
}

void Meldung::Randhinweis(const QString& text, QWidget* feld) { Backend().Randhinweis(text, feld); }

QString Meldung::Zeilen(const QStringList& zeilen) { return zeilen.join(QLatin1Char('\r')); }
