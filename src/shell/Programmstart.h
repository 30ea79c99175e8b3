#pragma once

#include <QString>

#include <memory>

class QLockFile;

// The start-up of the program up to the main window, in the old order: refuse a second instance;
// program and data folder; start values from the registry (sender, options, copy fields);
// database with the sender's linked tables, and what an interrupted SEPA run left. Every refusal is reported through Meldung and ends
// the start. The instance lock is held for as long as this object lives.
class Programmstart {
 public:
  Programmstart();
  ~Programmstart();
  Programmstart(const Programmstart&) = delete;
  Programmstart& operator=(const Programmstart&) = delete;

  // Every step in order; false when the program has to end (the message has been shown).
  bool Ausfuehren();

  // The steps one by one.
  bool EinzelinstanzSichern();
  bool OrdnerFestlegen();
  void StartwerteLesen();
  bool DatenbankBereitstellen();
  // Finishes a SEPA run that a crash interrupted (its files named to the user).
  void SepaLaufNachholen();

  // The lock file that marks a running instance on a program folder. It lies in the temporary folder,
  // named after the program folder: inside, it would keep a new program folder from being seeded.
  static QString SperrDatei();
  static const QString& ZweiteInstanzMeldung();

 private:
  std::unique_ptr<QLockFile> m_sperre;
};
