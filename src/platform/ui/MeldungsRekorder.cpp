#include "platform/ui/MeldungsRekorder.h"

#include <QDebug>

MeldungsRekorder::MeldungsRekorder() : m_vorher(Meldung::BackendSetzen(this)) {}

MeldungsRekorder::~MeldungsRekorder() { Meldung::BackendSetzen(m_vorher); }

QStringList MeldungsRekorder::Texte() const {
  QStringList texte;
  for (const Eintrag& e : m_eintraege) texte << e.text;
  return texte;
}

MeldungsAntwort MeldungsRekorder::Vorgabe(MeldungsKnoepfe knoepfe) {
  switch (knoepfe) {
    case MeldungsKnoepfe::Ok: return MeldungsAntwort::Ok;
    case MeldungsKnoepfe::JaNein: return MeldungsAntwort::Nein;
    case MeldungsKnoepfe::OkAbbrechen:
    case MeldungsKnoepfe::JaNeinAbbrechen: break;
  }
  return MeldungsAntwort::Abbrechen;
}

bool MeldungsRekorder::Passt(MeldungsAntwort antwort, MeldungsKnoepfe knoepfe) {
  switch (knoepfe) {
    case MeldungsKnoepfe::Ok: return antwort == MeldungsAntwort::Ok;
    case MeldungsKnoepfe::OkAbbrechen: return antwort == MeldungsAntwort::Ok || antwort == MeldungsAntwort::Abbrechen;
    case MeldungsKnoepfe::JaNein: return antwort == MeldungsAntwort::Ja || antwort == MeldungsAntwort::Nein;
    case MeldungsKnoepfe::JaNeinAbbrechen: return antwort != MeldungsAntwort::Ok;
  }
  return false;
}

void MeldungsRekorder::Unerwartet(const QString& was) {
  ++m_unbeantwortet;
  qCritical().noquote() << "MeldungsRekorder:" << was;
  if (m_hook) m_hook(was);
}

MeldungsAntwort MeldungsRekorder::Zeigen(const MeldungsAnfrage& anfrage, QWidget*) {
  m_eintraege.push_back(Eintrag{false, anfrage.titel, anfrage.text, anfrage.knoepfe, anfrage.symbol, {}});
  m_eintraege.back().abbrechenVorgabe = anfrage.abbrechenVorgabe;
  // A plain message has one possible answer: it never takes a scripted one.
  if (anfrage.knoepfe == MeldungsKnoepfe::Ok) return MeldungsAntwort::Ok;
  if (m_antworten.empty()) {
    Unerwartet(QStringLiteral("keine Antwort vorgesehen für: ") + anfrage.text);
    return Vorgabe(anfrage.knoepfe);
  }
  const MeldungsAntwort antwort = m_antworten.front();
  m_antworten.pop_front();
  if (!Passt(antwort, anfrage.knoepfe)) {
    Unerwartet(QStringLiteral("vorgesehene Antwort passt nicht zu den Knöpfen von: ") + anfrage.text);
    return Vorgabe(anfrage.knoepfe);
  }
  return antwort;
}

std::optional<QString> MeldungsRekorder::Eingabe(const EingabeAnfrage& anfrage, QWidget*) {
  m_eintraege.push_back(Eintrag{true, anfrage.titel, anfrage.aufforderung, MeldungsKnoepfe::OkAbbrechen,
                                MeldungsSymbol::Keins, anfrage.vorgabe});
  if (m_eingaben.empty()) {
    Unerwartet(QStringLiteral("keine Eingabe vorgesehen für: ") + anfrage.aufforderung);
    return std::nullopt;
  }
  const std::optional<QString> text = std::move(m_eingaben.front());
  m_eingaben.pop_front();
  return text;
}

void MeldungsRekorder::Randhinweis(const QString& text, QWidget*) {
  Eintrag e;
  e.text = text;
  e.randhinweis = true;
  m_eintraege.push_back(e);
}
