#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The engine's output-settings dialog: target (preview, printer, PDF file), copies, the printer
// and the page through Qt's own print and page set-up dialogs.
class Ausgabeeinstellungen : public QDialog {
  Q_OBJECT
 public:
  // `drucker` keeps the printer and page chosen here for the job.
  Ausgabeeinstellungen(QPrinter& drucker, const QString& titel, const QString& text, QWidget* eltern = nullptr);

  // Report::ZielVorschau, ZielDrucker or ZielPdf.
  int Ziel() const;
  void ZielSetzen(int ziel);
  int Kopien() const;
  void KopienSetzen(int kopien);
  QString PdfDatei() const;
  void PdfDateiSetzen(const QString& datei);

  QRadioButton* ZielKnopf(int ziel) const;
  QSpinBox* KopienFeld() const { return m_kopien; }
  QLineEdit* PdfFeld() const { return m_pdf; }
  QPushButton* OkKnopf() const { return m_ok; }

  void accept() override;

 private:
  void DruckerAnzeigen();
  void ZielGewechselt();

  QPrinter& m_drucker;
  QRadioButton* m_vorschau;
  QRadioButton* m_druckerZiel;
  QRadioButton* m_pdfZiel;
  QLabel* m_druckerName;
  QPushButton* m_druckerEinrichten;
  QPushButton* m_seiteEinrichten;
  QSpinBox* m_kopien;
  QLineEdit* m_pdf;
  QPushButton* m_pdfWaehlen;
  QPushButton* m_ok;
};
