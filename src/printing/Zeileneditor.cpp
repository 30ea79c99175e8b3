#include "printing/Zeileneditor.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Zeileneditor::Zeileneditor(QWidget* eltern) : QWidget(eltern) {
  m_liste = new QVBoxLayout;
  m_liste->setContentsMargins(0, 0, 0, 0);
  m_hinzufuegen = new QPushButton(QStringLiteral("Zeile hinzufügen"), this);
  m_hinzufuegen->setAutoDefault(false);
  connect(m_hinzufuegen, &QPushButton::clicked, this, [this] {
    ZeileAnhaengen({});
    m_zeilen.last().text->setFocus();
    Q_EMIT Geaendert();
  });
  auto* knopf = new QHBoxLayout;
  knopf->addWidget(m_hinzufuegen);
  knopf->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(m_liste);
  layout->addLayout(knopf);
}

QList<Reportzeile> Zeileneditor::Zeilen() const {
  QList<Reportzeile> zeilen;
  for (const Zeile& z : m_zeilen) zeilen << Reportzeile{z.text->text(), z.groesse->value(), z.fett->isChecked()};
  return zeilen;
}

void Zeileneditor::ZeilenSetzen(const QList<Reportzeile>& zeilen) {
  while (!m_zeilen.isEmpty()) {
    delete m_zeilen.takeLast().rahmen;
  }
  for (const Reportzeile& z : zeilen) ZeileAnhaengen(z);
}

void Zeileneditor::ZeileAnhaengen(const Reportzeile& zeile) {
  Zeile z;
  z.rahmen = new QWidget(this);
  z.text = new QLineEdit(zeile.text, z.rahmen);
  z.text->setToolTip(QStringLiteral("Text der Zeile; Platzhalter wie {Absender.Name} werden beim Druck gefüllt"));
  z.groesse = new QDoubleSpinBox(z.rahmen);
  z.groesse->setRange(0, 72);
  z.groesse->setDecimals(1);
  z.groesse->setSuffix(QStringLiteral(" pt"));
  // 0 is "the page's size"; the file reads no size below 4.
  z.groesse->setSpecialValueText(QStringLiteral("Standard"));
  z.groesse->setValue(zeile.groesse >= 4 ? zeile.groesse : 0);
  z.groesse->setToolTip(QStringLiteral("Schriftgröße der Zeile"));
  z.fett = new QCheckBox(QStringLiteral("fett"), z.rahmen);
  z.fett->setChecked(zeile.fett);
  z.entfernen = new QPushButton(QStringLiteral("Entfernen"), z.rahmen);
  z.entfernen->setAutoDefault(false);
  z.entfernen->setToolTip(QStringLiteral("Diese Zeile entfernen"));
  auto* reihe = new QHBoxLayout(z.rahmen);
  reihe->setContentsMargins(0, 0, 0, 0);
  reihe->addWidget(z.text, 1);
  reihe->addWidget(z.groesse);
  reihe->addWidget(z.fett);
  reihe->addWidget(z.entfernen);
  m_liste->addWidget(z.rahmen);
  connect(z.text, &QLineEdit::textEdited, this, &Zeileneditor::Geaendert);
  QDoubleSpinBox* groesse = z.groesse;
  connect(groesse, &QDoubleSpinBox::valueChanged, this, [this, groesse, vorher = groesse->value()](double wert) mutable {
    // Sizes between 0 and 4 do not exist: down from 4 is the page's size, up from it is 4.
    if (wert > 0 && wert < 4) {
      wert = vorher >= 4 ? 0 : 4;
      QSignalBlocker sperre(groesse);
      groesse->setValue(wert);
    }
    vorher = wert;
    Q_EMIT Geaendert();
  });
  connect(z.fett, &QCheckBox::toggled, this, &Zeileneditor::Geaendert);
  QWidget* rahmen = z.rahmen;
  connect(z.entfernen, &QPushButton::clicked, this, [this, rahmen] { ZeileEntfernen(rahmen); });
  m_zeilen << z;
}

void Zeileneditor::ZeileEntfernen(QWidget* rahmen) {
  for (qsizetype i = 0; i < m_zeilen.size(); ++i) {
    if (m_zeilen.at(i).rahmen != rahmen) continue;
    m_zeilen.removeAt(i);
    rahmen->deleteLater();
    rahmen->hide();
    // The focus goes to the next line, or back to the button.
    if (i < m_zeilen.size())
      m_zeilen.at(i).text->setFocus();
    else
      m_hinzufuegen->setFocus();
    Q_EMIT Geaendert();
    return;
  }
}
