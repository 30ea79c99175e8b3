#pragma once

#include "platform/ui/Meldung.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

// Replaces the message boxes while it lives: records every box and answers with scripted buttons
// and texts in order (boxes with the OK button only need no script and take none). An unscripted box is counted, reported through the hook and answered with the
// box's default (OK; Cancel; No; Cancel; "" for an input box).
class MeldungsRekorder : public MeldungsBackend {
 public:
  struct Eintrag {
    bool eingabe = false;   // input box
    QString titel;
    QString text;           // message text, or the input box's prompt
    MeldungsKnoepfe knoepfe = MeldungsKnoepfe::Ok;
    MeldungsSymbol symbol = MeldungsSymbol::Keins;
    QString vorgabe;        // input box only
    bool randhinweis = false;   // a notice at a field (no box, no answer)
    bool abbrechenVorgabe = false;   // Cancel is the default button
  };

  MeldungsRekorder();
  ~MeldungsRekorder() override;
  MeldungsRekorder(const MeldungsRekorder&) = delete;
  MeldungsRekorder& operator=(const MeldungsRekorder&) = delete;

  void Antworte(MeldungsAntwort antwort) { m_antworten.push_back(antwort); }
  // Scripted input: the text, or std::nullopt for Cancel.
  void Tippe(const std::optional<QString>& text) { m_eingaben.push_back(text); }

  const QList<Eintrag>& Eintraege() const { return m_eintraege; }
  int Anzahl() const { return m_eintraege.size(); }
  const Eintrag& Letzter() const { return m_eintraege.back(); }
  QStringList Texte() const;
  void Leeren() { m_eintraege.clear(); }

  int Unbeantwortet() const { return m_unbeantwortet; }
  // Scripted answers not used up.
  int OffeneAntworten() const { return int(m_antworten.size() + m_eingaben.size()); }
  // Called with a description when a box had no scripted answer (tests put ADD_FAILURE here).
  void BeiUnerwartet(std::function<void(const QString&)> hook) { m_hook = std::move(hook); }

  MeldungsAntwort Zeigen(const MeldungsAnfrage& anfrage, QWidget* eltern) override;
  std::optional<QString> Eingabe(const EingabeAnfrage& anfrage, QWidget* eltern) override;
  void Randhinweis(const QString& text, QWidget* feld) override;

  static MeldungsAntwort Vorgabe(MeldungsKnoepfe knoepfe);
  static bool Passt(MeldungsAntwort antwort, MeldungsKnoepfe knoepfe);

 private:
  void Unerwartet(const QString& was);

  MeldungsBackend* m_vorher = nullptr;
  QList<Eintrag> m_eintraege;
  std::deque<MeldungsAntwort> m_antworten;
  std::deque<std::optional<QString>> m_eingaben;
  int m_unbeantwortet = 0;
  std::function<void(const QString&)> m_hook;
};
