#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>

#include "platform/report/core/Druckdokument.h"
#include "platform/report/core/Reportdefinitionen.h"
#include "platform/report/core/Reportlayout.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTimer;
class Zeileneditor;

// The report designer: edits a list report file or builds a new one from the fields a print defines.
// Description, page, title, header, footer and summary lines, the columns (added from the fields,
// removed, moved, with width, format and sum), the sort order among those the data offer and the
// group field; the preview lays the report out over sample rows. "Speichern" checks the report
// against the print's names and writes the file under a temporary name, then renames it: a failed
// save is reported and the old file stays.
class ReportDesigner : public QDialog {
  Q_OBJECT
 public:
  ReportDesigner(const QString& datei, const Reportdefinitionen& definitionen, const QString& titel,
                 QWidget* eltern = nullptr);
  ~ReportDesigner() override;

  // The designer for the engine: loads `datei` (a missing file is a new report), shows the window
  // modally. Report::Ok when the file was saved, Report::Abgebrochen otherwise, Report::KeinDesigner
  // without a window system.
  static int Oeffnen(QWidget* eltern, const QString& titel, int projektTyp, const QString& datei,
                     const Reportdefinitionen& definitionen);
  // Makes this the designer of the Qt report engine.
  static void Einsetzen();
  // Test hook: works the shown designer instead of its modal loop.
  static void HakenSetzen(std::function<void(ReportDesigner&)> haken);

  // Reads the file. False (with `fehler`) when it exists but cannot be read as a report.
  bool Laden(QString& fehler);
  void LayoutSetzen(const Reportlayout& layout);
  // A new report from the print's names (not yet in the file).
  void NeuBeginnen();
  const Reportlayout& Layout() const { return m_layout; }
  bool Geaendert() const { return m_neu || !(m_layout == m_gespeichert); }
  bool Gespeichert() const { return m_wurdeGespeichert; }
  // Checks and writes the file; false after the message when it was not saved.
  bool Speichern();

  // Column commands (also the buttons).
  void FeldHinzufuegen(const QString& feld);
  void SpalteEntfernen();
  void SpalteVerschieben(int richtung);   // -1 to the left, +1 to the right
  void SpalteWaehlen(int index);
  int GewaehlteSpalte() const;
  // Puts "{Name}" into the text field that last had the focus.
  void PlatzhalterEinfuegen(const QString& platzhalter);

  // Controls.
  QLineEdit* Beschreibung() const { return m_beschreibung; }
  QTabWidget* Register() const { return m_register; }
  QListWidget* Felder() const { return m_felder; }
  QTableWidget* Spalten() const { return m_spalten; }
  QLineEdit* SpaltenTitel() const { return m_spaltenTitel; }
  QLineEdit* SpaltenWert() const { return m_spaltenWert; }
  QComboBox* Format() const { return m_format; }
  QDoubleSpinBox* Breite() const { return m_breite; }
  QComboBox* Ausrichtung() const { return m_ausrichtung; }
  QCheckBox* Summe() const { return m_summe; }
  QCheckBox* Umbruch() const { return m_umbruch; }
  QCheckBox* NurErste() const { return m_nurErste; }
  QPushButton* HinzufuegenKnopf() const { return m_hinzufuegen; }
  QPushButton* EntfernenKnopf() const { return m_entfernen; }
  QPushButton* LinksKnopf() const { return m_links; }
  QPushButton* RechtsKnopf() const { return m_rechts; }
  QLabel* Breitenhinweis() const { return m_breitenhinweis; }
  Zeileneditor* Titel() const { return m_titel; }
  Zeileneditor* Zusammenfassung() const { return m_zusammenfassung; }
  QLineEdit* Kopf(int i) const { return m_kopf.at(i); }
  QLineEdit* Fuss(int i) const { return m_fuss.at(i); }
  QComboBox* Platzhalter() const { return m_platzhalter; }
  QComboBox* Papier() const { return m_papier; }
  QComboBox* Seitenausrichtung() const { return m_seitenausrichtung; }
  QDoubleSpinBox* Rand(int i) const { return m_raender.at(i); }
  QFontComboBox* Schrift() const { return m_schrift; }
  QDoubleSpinBox* Schriftgroesse() const { return m_groesse; }
  QComboBox* Sortierung() const { return m_sortierung; }
  QComboBox* Gruppe() const { return m_gruppe; }
  QLabel* Vorschau() const { return m_vorschau; }
  QLabel* Vorschauseite() const { return m_vorschauSeite; }
  QPushButton* SpeichernKnopf() const { return m_speichern; }
  QPushButton* SchliessenKnopf() const { return m_schliessen; }
  // Lays the preview out now (it follows changes after a short pause).
  void VorschauAktualisieren();
  int VorschauSeiten() const { return m_vorschauSeiten; }

 public Q_SLOTS:
  void reject() override;

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;
  void showEvent(QShowEvent* ereignis) override;

 private:
  QWidget* SpaltenRegister();
  QWidget* TexteRegister();
  QWidget* SeiteRegister();
  void Anzeigen();                 // every control from the layout
  void SpaltenlisteAnzeigen();
  void SpaltenzeileAnzeigen(int index);
  void SpalteAnzeigen();           // the chosen column's controls
  void SpalteUebernehmen();        // the chosen column's controls into the layout
  // Only a single field adds up, and only one whose sum the print allows.
  bool Summierbar(const Reportspalte& s) const;
  void FormatvorschlaegeSetzen(const QString& feld);
  void SortierungenAnzeigen();
  void TexteUebernehmen();
  void SeiteUebernehmen();
  void Veraendert();
  void TitelSetzen();
  bool SchliessenErlaubt();
  void VorschauZeigen(int seite);

  QString m_datei;
  Reportdefinitionen m_definitionen;
  QString m_aufrufer;
  Reportlayout m_layout;
  Reportlayout m_gespeichert;
  bool m_wurdeGespeichert = false;
  bool m_neu = false;              // the file does not hold this report yet
  bool m_anzeigen = false;         // controls are being filled: their signals change nothing
  QPointer<QLineEdit> m_letztesTextfeld;   // a title line may be removed meanwhile

  QLineEdit* m_beschreibung;
  QTabWidget* m_register;
  QListWidget* m_felder;
  QTableWidget* m_spalten;
  QLineEdit* m_spaltenTitel;
  QLineEdit* m_spaltenWert;
  QComboBox* m_format;
  QDoubleSpinBox* m_breite;
  QComboBox* m_ausrichtung;
  QCheckBox* m_summe;
  QCheckBox* m_umbruch;
  QCheckBox* m_nurErste;
  QPushButton* m_hinzufuegen;
  QPushButton* m_entfernen;
  QPushButton* m_links;
  QPushButton* m_rechts;
  QLabel* m_breitenhinweis;
  Zeileneditor* m_titel;
  Zeileneditor* m_zusammenfassung;
  std::array<QLineEdit*, 3> m_kopf{};
  std::array<QLineEdit*, 3> m_fuss{};
  QComboBox* m_platzhalter;
  QPushButton* m_einfuegen;
  QComboBox* m_papier;
  QComboBox* m_seitenausrichtung;
  std::array<QDoubleSpinBox*, 4> m_raender{};
  QFontComboBox* m_schrift;
  QDoubleSpinBox* m_groesse;
  QComboBox* m_sortierung;
  QComboBox* m_gruppe;
  QLabel* m_vorschau;
  QScrollArea* m_vorschauFlaeche;
  QSplitter* m_teiler;
  bool m_teilerGesetzt = false;
  QLabel* m_vorschauSeite;
  QPushButton* m_vorschauZurueck;
  QPushButton* m_vorschauVor;
  QPushButton* m_speichern;
  QPushButton* m_schliessen;
  QTimer* m_vorschauTakt;
  int m_vorschauSeiten = 0;
  int m_vorschauIndex = 0;
  Druckdokument m_dokument;
};
