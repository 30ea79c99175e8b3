#include "platform/report/Ausgabeeinstellungen.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/report/core/Reportengine.h"
#include "platform/ui/Dateidialog.h"

Ausgabeeinstellungen::Ausgabeeinstellungen(QPrinter& drucker, const QString& titel, const QString& text,
                                           QWidget* eltern)
    : QDialog(eltern), m_drucker(drucker) {
  setObjectName(QStringLiteral("Ausgabeeinstellungen"));
  setWindowTitle(titel);

  auto* ziel = new QGroupBox(QStringLiteral("Ausgabe auf"), this);
  m_vorschau = new QRadioButton(QStringLiteral("&Bildschirm (Vorschau)"), ziel);
  m_druckerZiel = new QRadioButton(QStringLiteral("&Drucker"), ziel);
  m_pdfZiel = new QRadioButton(QStringLiteral("&PDF-Datei"), ziel);
  auto* zielLayout = new QVBoxLayout(ziel);
  zielLayout->addWidget(m_vorschau);
  zielLayout->addWidget(m_druckerZiel);
  zielLayout->addWidget(m_pdfZiel);

  m_druckerName = new QLabel(this);
  m_druckerEinrichten = new QPushButton(QStringLiteral("Drucker &einrichten..."), this);
  m_seiteEinrichten = new QPushButton(QStringLiteral("&Seite einrichten..."), this);
  m_kopien = new QSpinBox(this);
  m_kopien->setRange(1, 99);
  m_kopien->setValue(1);
  m_pdf = new QLineEdit(this);
  m_pdfWaehlen = new QPushButton(QStringLiteral("..."), this);
  m_pdfWaehlen->setToolTip(QStringLiteral("PDF-Datei wählen"));

  auto* form = new QFormLayout;
  auto* druckerZeile = new QHBoxLayout;
  druckerZeile->addWidget(m_druckerName, 1);
  druckerZeile->addWidget(m_druckerEinrichten);
  druckerZeile->addWidget(m_seiteEinrichten);
  form->addRow(QStringLiteral("Drucker:"), druckerZeile);
  auto* kopienLabel = new QLabel(QStringLiteral("&Kopien:"), this);
  kopienLabel->setBuddy(m_kopien);
  form->addRow(kopienLabel, m_kopien);
  auto* pdfZeile = new QHBoxLayout;
  pdfZeile->addWidget(m_pdf, 1);
  pdfZeile->addWidget(m_pdfWaehlen);
  auto* pdfLabel = new QLabel(QStringLiteral("PDF-Da&tei:"), this);
  pdfLabel->setBuddy(m_pdf);
  form->addRow(pdfLabel, pdfZeile);

  auto* knoepfe = new QDialogButtonBox(this);
  m_ok = knoepfe->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  m_ok->setDefault(true);
  knoepfe->addButton(QStringLiteral("Abbruch"), QDialogButtonBox::RejectRole);
  connect(knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  if (!text.isEmpty()) layout->addWidget(new QLabel(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')), this));
  layout->addWidget(ziel);
  layout->addLayout(form);
  layout->addWidget(knoepfe);

  connect(m_druckerEinrichten, &QPushButton::clicked, this, [this] {
    QPrintDialog dialog(&m_drucker, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() == QDialog::Accepted) {
      m_kopien->setValue(std::max(1, m_drucker.copyCount()));
      m_druckerZiel->setChecked(true);
    }
    DruckerAnzeigen();
  });
  connect(m_seiteEinrichten, &QPushButton::clicked, this, [this] {
    QPageSetupDialog dialog(&m_drucker, this);
    dialog.exec();
  });
  connect(m_pdfWaehlen, &QPushButton::clicked, this, [this] {
    const std::optional<QString> datei = Dateidialog::DateiSpeichern(
        this, QStringLiteral("PDF-Datei wählen"), m_pdf->text(), QStringLiteral("PDF-Dateien (*.pdf)"), QStringLiteral("pdf"));
    if (datei && !datei->isEmpty()) {
      m_pdf->setText(*datei);
      m_pdfZiel->setChecked(true);
    }
  });
  for (QRadioButton* k : {m_vorschau, m_druckerZiel, m_pdfZiel})
    connect(k, &QRadioButton::toggled, this, &Ausgabeeinstellungen::ZielGewechselt);
  connect(m_pdf, &QLineEdit::textChanged, this, &Ausgabeeinstellungen::ZielGewechselt);
  // A path typed (or chosen) into the field means the PDF file: it never goes nowhere.
  connect(m_pdf, &QLineEdit::textEdited, this, [this] { m_pdfZiel->setChecked(true); });
  m_vorschau->setChecked(true);
  DruckerAnzeigen();
  ZielGewechselt();
}

void Ausgabeeinstellungen::DruckerAnzeigen() {
  const QString name = m_drucker.printerName();
  m_druckerName->setText(name.isEmpty() ? QStringLiteral("(kein Drucker eingerichtet)") : name);
}

void Ausgabeeinstellungen::ZielGewechselt() {
  const int ziel = Ziel();
  m_kopien->setEnabled(ziel == Report::ZielDrucker);
  m_pdfWaehlen->setEnabled(ziel == Report::ZielPdf);
  m_ok->setEnabled(ziel != Report::ZielPdf || !m_pdf->text().trimmed().isEmpty());
}

int Ausgabeeinstellungen::Ziel() const {
  if (m_druckerZiel->isChecked()) return Report::ZielDrucker;
  if (m_pdfZiel->isChecked()) return Report::ZielPdf;
  return Report::ZielVorschau;
}

void Ausgabeeinstellungen::ZielSetzen(int ziel) { ZielKnopf(ziel)->setChecked(true); }

QRadioButton* Ausgabeeinstellungen::ZielKnopf(int ziel) const {
  return ziel == Report::ZielDrucker ? m_druckerZiel : ziel == Report::ZielPdf ? m_pdfZiel : m_vorschau;
}

int Ausgabeeinstellungen::Kopien() const { return m_kopien->value(); }
void Ausgabeeinstellungen::KopienSetzen(int kopien) { m_kopien->setValue(kopien); }
QString Ausgabeeinstellungen::PdfDatei() const { return m_pdf->text().trimmed(); }
void Ausgabeeinstellungen::PdfDateiSetzen(const QString& datei) { m_pdf->setText(datei); }

void Ausgabeeinstellungen::accept() {
  if (!m_ok->isEnabled()) return;
  QDialog::accept();
}
