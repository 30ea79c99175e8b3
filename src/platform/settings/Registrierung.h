#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QSettings;

// The per-user settings store that replaces the registry of the old run time: application
// "Tamo-SEPA 1.0", section, key, text value. Kept as an INI file in the per-user config location;
// the environment variable TAMOSEPA_EINSTELLUNGEN names another file (tests).
class Registrierung {
 public:
  static Registrierung& Instanz();

  // GetSetting: the stored text or `vorgabe` when the key is missing.
  QString Lesen(const QString& abschnitt, const QString& schluessel, const QString& vorgabe = {}) const;
  // SaveSetting.
  void Schreiben(const QString& abschnitt, const QString& schluessel, const QString& wert);
  bool Vorhanden(const QString& abschnitt, const QString& schluessel) const;
  // DeleteSetting for a key, or the whole section when `schluessel` is empty.
  void Loeschen(const QString& abschnitt, const QString& schluessel = {});
  QStringList Schluessel(const QString& abschnitt) const;
  // Writes pending changes to disk; false when the file cannot be written.
  bool Sichern();

  QString Datei() const;
  // Uses another file from now on (tests, or when the environment changes).
  void DateiSetzen(const QString& datei);

 private:
  Registrierung();
  std::unique_ptr<QSettings> m_settings;
};

// Convenience forms of the old run-time calls.
inline QString GetSetting(const QString& abschnitt, const QString& schluessel, const QString& vorgabe = {}) {
  return Registrierung::Instanz().Lesen(abschnitt, schluessel, vorgabe);
}
inline void SaveSetting(const QString& abschnitt, const QString& schluessel, const QString& wert) {
  Registrierung::Instanz().Schreiben(abschnitt, schluessel, wert);
}

// A number kept as a setting (here or in the settings table): a whole number, with an optional sign and blanks
// around it; nullopt for any other text ("5abc", "1e3", "2,5", "", "+"), which the caller then treats as a bad
// value. Beyond the range of int it is clamped, so a range check still refuses it.
std::optional<int> EinstellungZahl(const QString& text);
