#include "sepafiles/SepaFehlerliste.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "common/Programmzustand.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Zellbreite.h"
#include "sepafiles/core/SepaBefundliste.h"

// The rows are read as the view asks for them: a long list costs no widgets.
class SepaFehlerlisteModell : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void Setzen(const QList<SepaAuftragsbefund>& befunde) {
    beginResetModel();
    m_befunde = befunde;
    endResetModel();
  }

  int rowCount(const QModelIndex& eltern = {}) const override { return eltern.isValid() ? 0 : int(m_befunde.size()); }
  int columnCount(const QModelIndex& eltern = {}) const override {
    return eltern.isValid() ? 0 : int(SepaBefundliste::Spalten().size());
  }

  QString Text(int zeile, int spalte) const { return SepaBefundliste::Zelle(m_befunde.at(zeile), spalte); }
  const SepaAuftragsbefund& Befund(int zeile) const { return m_befunde.at(zeile); }

  QVariant data(const QModelIndex& index, int rolle) const override {
    if (!index.isValid()) return {};
    if (rolle == Qt::DisplayRole) return Text(index.row(), index.column());
    if (rolle == Qt::ToolTipRole && index.column() == 5)
      return SepaBefundliste::Zelle(m_befunde.at(index.row()), 5, QStringLiteral("\n"));
    if (rolle == Qt::TextAlignmentRole && (index.column() == 0 || index.column() == 3))
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
  }

  QVariant headerData(int abschnitt, Qt::Orientation richtung, int rolle) const override {
    if (richtung == Qt::Horizontal && rolle == Qt::DisplayRole) return SepaBefundliste::Spalten().value(abschnitt);
    return QAbstractTableModel::headerData(abschnitt, richtung, rolle);
  }

 private:
  QList<SepaAuftragsbefund> m_befunde;
};

SepaFehlerliste::SepaFehlerliste(QWidget* eltern) : QDialog(eltern), m_modell(new SepaFehlerlisteModell(this)) {
  setObjectName(QStringLiteral("SepaFehlerliste"));
  setWindowTitle(QStringLiteral("Weggelassene Zahlungen"));
  setModal(false);
  m_text = new QLabel(this);
  m_text->setObjectName(QStringLiteral("Text"));
  m_text->setWordWrap(true);
  m_tabelle = new QTableView(this);
  m_tabelle->setObjectName(QStringLiteral("Tabelle"));
  m_tabelle->setModel(m_modell);
  m_tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_tabelle->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_tabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_tabelle->setAlternatingRowColors(!Zustand().Optionen().TabellenOhneZebramuster);
  m_tabelle->verticalHeader()->hide();
  m_tabelle->horizontalHeader()->setStretchLastSection(true);
  m_tabelle->installEventFilter(this);
  m_tabelle->setWordWrap(true);
  const int breiten[] = {50, 160, 210, 90, 80};
  for (int i = 0; i < 5; ++i) m_tabelle->setColumnWidth(i, breiten[i]);

  m_kopieren = new QPushButton(QStringLiteral("&Kopieren"), this);
  m_kopieren->setObjectName(QStringLiteral("Kopieren"));
  m_kopieren->setToolTip(QStringLiteral("Die ganze Liste in die Zwischenablage kopieren"));
  m_kopieren->setAutoDefault(false);
  m_schliessen = new QPushButton(QStringLiteral("Schließen"), this);
  m_schliessen->setObjectName(QStringLiteral("Schliessen"));
  m_schliessen->setAutoDefault(false);
  connect(m_kopieren, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(Kopiertext(false)); });
  connect(m_schliessen, &QPushButton::clicked, this, &QDialog::close);

  auto* knoepfe = new QHBoxLayout;
  knoepfe->addWidget(m_kopieren);
  knoepfe->addStretch(1);
  knoepfe->addWidget(m_schliessen);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_text);
  layout->addWidget(m_tabelle, 1);
  layout->addLayout(knoepfe);
  // Room for the reasons beside name, IBAN and amount, but never wider than the screen (a 1024-pixel one):
  // what does not fit is reached by scrolling.
  const int breite = screen() ? std::min(1100, screen()->availableGeometry().width() * 9 / 10) : 1100;
  resize(breite, 400);
}

SepaFehlerliste::~SepaFehlerliste() = default;

void SepaFehlerliste::BefundeSetzen(const QList<SepaAuftragsbefund>& befunde) {
  m_modell->Setzen(befunde);
  // IBAN and amount whole on one line (an order may be left out for an amount far beyond the money
  // range): their columns as wide as the widest of the list; the list holds its rows already.
  for (int spalte : {2, 3}) {
    int breite = m_tabelle->horizontalHeader()->sectionSizeHint(spalte);
    for (const SepaAuftragsbefund& b : befunde)
      breite = std::max(breite, ZellTextbreite(*m_tabelle, SepaBefundliste::Zelle(b, spalte)));
    m_tabelle->horizontalHeader()->setSectionResizeMode(spalte, QHeaderView::Fixed);
    m_tabelle->setColumnWidth(spalte, breite);
  }
  // Every reason in full, the rows following the column widths; measuring rows costs time, so a very
  // long list keeps one line per order (the tooltip and the copy still carry all of it).
  m_tabelle->verticalHeader()->setSectionResizeMode(befunde.size() <= 2000 ? QHeaderView::ResizeToContents
                                                                            : QHeaderView::Interactive);
  m_text->setText(befunde.isEmpty()
                      ? QStringLiteral("Die Prüfung hat keine fehlerhaften Zahlungen ermittelt.")
                      : QStringLiteral("Diese %1 Zahlung(en) werden bei der SEPA-Erstellung weggelassen. Bitte "
                                       "korrigieren Sie sie unter 'Zahlungen erfassen' und lassen Sie die Zahlungen "
                                       "danach neu auswählen.")
                            .arg(befunde.size()));
  m_kopieren->setEnabled(!befunde.isEmpty());
}

int SepaFehlerliste::Zeilen() const { return m_modell->rowCount(); }

QString SepaFehlerliste::Zelle(int zeile, int spalte) const { return m_modell->Text(zeile, spalte); }

QString SepaFehlerliste::Kopiertext(bool nurMarkierte) const {
  QList<int> zeilen;
  if (nurMarkierte) {
    for (const QModelIndex& i : m_tabelle->selectionModel()->selectedRows()) zeilen << i.row();
    std::sort(zeilen.begin(), zeilen.end());
  } else {
    for (int i = 0; i < Zeilen(); ++i) zeilen << i;
  }
  QString text = SepaBefundliste::Kopfzeile() + QLatin1Char('\n');
  for (int zeile : zeilen) text += SepaBefundliste::Zeile(m_modell->Befund(zeile)) + QLatin1Char('\n');
  return text;
}

bool SepaFehlerliste::eventFilter(QObject* objekt, QEvent* ereignis) {
  // The view would copy only its current cell.
  if (objekt == m_tabelle && ereignis->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(ereignis)->matches(QKeySequence::Copy)) {
    QApplication::clipboard()->setText(Kopiertext(true));
    return true;
  }
  return QDialog::eventFilter(objekt, ereignis);
}

void SepaFehlerliste::keyPressEvent(QKeyEvent* ereignis) {
  if (ereignis->key() == Qt::Key_F1) {
    HilfeAnzeigen(HilfeKontext::SepaDatei, Zustand().HilfeOrdner(), this);
    return;
  }
  QDialog::keyPressEvent(ereignis);
}
