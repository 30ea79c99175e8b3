#include "shell/Rechner.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Programmzustand.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Meldung.h"
#include "shell/Rechenausdruck.h"

namespace {
const QString kAbschnitt = QStringLiteral("Rechner State");
}

Rechner::Rechner(QWidget* eltern) : QDialog(eltern) {
  setObjectName(QStringLiteral("Rechner"));
  setWindowTitle(QStringLiteral("Rechner"));
  setModal(false);
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Rechner")));

  m_ausdruck = new QLineEdit(this);
  m_ausdruck->setObjectName(QStringLiteral("Ausdruck"));
  m_ausdruck->setToolTip(QStringLiteral("Rechenausdruck mit + - × ÷ und Klammern, Dezimalkomma"));
  m_ergebnis = new QLineEdit(this);
  m_ergebnis->setObjectName(QStringLiteral("Ergebnis"));
  m_ergebnis->setReadOnly(true);
  m_ergebnis->setAlignment(Qt::AlignRight);
  QFont gross = m_ergebnis->font();
  gross.setPointSizeF(gross.pointSizeF() * 1.3);
  gross.setBold(true);
  m_ergebnis->setFont(gross);

  auto* tasten = new QGridLayout;
  const QStringList belegung = {
      QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("÷"),
      QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("×"),
      QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("−"),
      QStringLiteral("0"), QStringLiteral(","), QStringLiteral("("), QStringLiteral(")"),
  };
  for (int i = 0; i < belegung.size(); ++i) {
    auto* knopf = new QPushButton(belegung.at(i), this);
    knopf->setFocusPolicy(Qt::NoFocus);
    knopf->setAutoDefault(false);
    const QString text = belegung.at(i);
    connect(knopf, &QPushButton::clicked, this, [this, text] { Einfuegen(text); });
    tasten->addWidget(knopf, i / 4, i % 4);
  }
  auto* plus = new QPushButton(QStringLiteral("+"), this);
  plus->setFocusPolicy(Qt::NoFocus);
  plus->setAutoDefault(false);
  connect(plus, &QPushButton::clicked, this, [this] { Einfuegen(QStringLiteral("+")); });
  auto* loeschen = new QPushButton(QStringLiteral("C"), this);
  loeschen->setObjectName(QStringLiteral("Leeren"));
  loeschen->setFocusPolicy(Qt::NoFocus);
  loeschen->setAutoDefault(false);
  loeschen->setToolTip(QStringLiteral("Ausdruck und Ergebnis leeren"));
  connect(loeschen, &QPushButton::clicked, this, [this] {
    m_ausdruck->clear();
    m_ergebnis->clear();
    m_ausdruck->setFocus();
  });
  auto* gleich = new QPushButton(QStringLiteral("="), this);
  gleich->setObjectName(QStringLiteral("Berechnen"));
  gleich->setAutoDefault(false);
  connect(gleich, &QPushButton::clicked, this, [this] { Berechnen(); });
  tasten->addWidget(loeschen, 4, 0);
  tasten->addWidget(plus, 4, 1);
  tasten->addWidget(gleich, 4, 2, 1, 2);

  auto* kopieren = new QPushButton(QStringLiteral("&Kopieren"), this);
  kopieren->setObjectName(QStringLiteral("Kopieren"));
  kopieren->setAutoDefault(false);
  kopieren->setToolTip(QStringLiteral("Ergebnis in die Zwischenablage kopieren"));
  connect(kopieren, &QPushButton::clicked, this, [this] { Kopieren(); });
  auto* schliessen = new QPushButton(QStringLiteral("Schließen"), this);
  schliessen->setAutoDefault(false);
  connect(schliessen, &QPushButton::clicked, this, &QWidget::close);

  auto* unten = new QHBoxLayout;
  unten->addWidget(kopieren);
  unten->addStretch();
  unten->addWidget(schliessen);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Rechenausdruck:"), this));
  layout->addWidget(m_ausdruck);
  layout->addWidget(new QLabel(QStringLiteral("Ergebnis:"), this));
  layout->addWidget(m_ergebnis);
  layout->addLayout(tasten);
  layout->addLayout(unten);

  FensterpositionVerwalten(true, kAbschnitt, this, 0, false);
}

bool Rechner::Berechnen() {
  const Rechenausdruck::Ergebnis e = Rechenausdruck::Auswerten(m_ausdruck->text());
  if (!e.wert) {
    m_ergebnis->clear();
    Meldung::Fehler(e.fehler, QStringLiteral("Rechner"), this);
    m_ausdruck->setFocus();
    if (e.position >= 0) m_ausdruck->setCursorPosition(e.position);
    return false;
  }
  m_ergebnis->setText(Rechenausdruck::ZahlText(*e.wert));
  m_ergebnis->selectAll();
  return true;
}

QString Rechner::Ergebnis() const { return m_ergebnis->text(); }

void Rechner::Kopieren() {
  if (m_ergebnis->text().isEmpty() && !Berechnen()) return;
  QApplication::clipboard()->setText(m_ergebnis->text());
}

void Rechner::Einfuegen(const QString& text) {
  m_ausdruck->insert(text);
  m_ausdruck->setFocus();
}

void Rechner::keyPressEvent(QKeyEvent* ereignis) {
  switch (ereignis->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Berechnen();
      return;
    case Qt::Key_Escape:
      close();
      return;
    case Qt::Key_F1:
      HilfeAnzeigen(HilfeKontext::Rechner, Zustand().HilfeOrdner(), this);
      return;
    default:
      QDialog::keyPressEvent(ereignis);
  }
}

void Rechner::closeEvent(QCloseEvent* ereignis) {
  FensterpositionVerwalten(false, kAbschnitt, this, 0, false);
  QDialog::closeEvent(ereignis);
}
