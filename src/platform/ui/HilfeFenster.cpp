#include "platform/ui/HilfeFenster.h"

#include "platform/ui/HilfeAnzeigen.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString TitelVon(const QString& datei) {
  QFile f(datei);
  if (!f.open(QIODevice::ReadOnly)) return QFileInfo(datei).completeBaseName();
  const QString inhalt = QString::fromUtf8(f.read(4096));
  static const QRegularExpression titel(QStringLiteral("<title>(.*?)</title>"),
                                        QRegularExpression::CaseInsensitiveOption |
                                            QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch m = titel.match(inhalt);
  return m.hasMatch() ? m.captured(1).trimmed() : QFileInfo(datei).completeBaseName();
}

}  // namespace

HilfeFenster::HilfeFenster(const QString& ordner, QWidget* eltern) : QWidget(eltern, Qt::Window), m_ordner(ordner) {
  setWindowTitle(QStringLiteral("Tamo-SEPA Hilfe"));
  auto* spalte = new QVBoxLayout(this);
  auto* leiste = new QHBoxLayout;
  m_zurueck = new QToolButton(this);
  m_zurueck->setText(QStringLiteral("Zurück"));
  m_zurueck->setArrowType(Qt::LeftArrow);
  m_zurueck->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  m_vor = new QToolButton(this);
  m_vor->setText(QStringLiteral("Vorwärts"));
  m_vor->setArrowType(Qt::RightArrow);
  m_vor->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  auto* inhalt = new QToolButton(this);
  inhalt->setText(QStringLiteral("Inhalt"));
  leiste->addWidget(m_zurueck);
  leiste->addWidget(m_vor);
  leiste->addWidget(inhalt);
  leiste->addStretch(1);
  spalte->addLayout(leiste);

  auto* teiler = new QSplitter(this);
  m_index = new QListWidget(teiler);
  m_browser = new QTextBrowser(teiler);
  m_browser->setOpenExternalLinks(true);
  m_browser->setSearchPaths({ordner});
  teiler->addWidget(m_index);
  teiler->addWidget(m_browser);
  teiler->setStretchFactor(1, 3);
  teiler->setSizes({210, 590});
  spalte->addWidget(teiler, 1);

  m_zurueck->setEnabled(false);
  m_vor->setEnabled(false);
  connect(m_browser, &QTextBrowser::backwardAvailable, m_zurueck, &QToolButton::setEnabled);
  connect(m_browser, &QTextBrowser::forwardAvailable, m_vor, &QToolButton::setEnabled);
  connect(m_zurueck, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
  connect(m_vor, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
  connect(inhalt, &QToolButton::clicked, this, [this] { ThemaOeffnen(0); });
  connect(m_index, &QListWidget::itemActivated, this, [this](QListWidgetItem* eintrag) {
    m_browser->setSource(QUrl::fromLocalFile(eintrag->data(Qt::UserRole).toString()));
  });
  connect(m_index, &QListWidget::itemClicked, this, [this](QListWidgetItem* eintrag) {
    m_browser->setSource(QUrl::fromLocalFile(eintrag->data(Qt::UserRole).toString()));
  });
  // The index marks the page shown, however it was reached (topic, link, back, forward).
  connect(m_browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& quelle) {
    const QString datei = QFileInfo(quelle.toLocalFile()).absoluteFilePath();
    const QSignalBlocker sperre(m_index);
    m_index->setCurrentRow(-1);
    for (int i = 0; i < m_index->count(); ++i) {
      if (QFileInfo(m_index->item(i)->data(Qt::UserRole).toString()).absoluteFilePath() == datei) {
        m_index->setCurrentRow(i);
        break;
      }
    }
  });
  // Esc closes the viewer, as it closes every other window of the program.
  auto* schliessen = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(schliessen, &QShortcut::activated, this, &QWidget::close);
  IndexLaden();
  resize(820, 600);
}

void HilfeFenster::IndexLaden() {
  m_index->clear();
  const QDir ordner(m_ordner);
  QStringList dateien = ordner.entryList({QStringLiteral("*.html")}, QDir::Files);
  // Contents first, then the topics by number, other pages by name.
  std::sort(dateien.begin(), dateien.end(), [](const QString& a, const QString& b) {
    const bool ia = a == QStringLiteral("index.html"), ib = b == QStringLiteral("index.html");
    if (ia != ib) return ia;
    bool na = false, nb = false;
    const int za = QFileInfo(a).completeBaseName().toInt(&na);
    const int zb = QFileInfo(b).completeBaseName().toInt(&nb);
    if (na && nb) return za < zb;
    if (na != nb) return na;
    return a < b;
  });
  for (const QString& d : dateien) {
    auto* eintrag = new QListWidgetItem(TitelVon(ordner.filePath(d)), m_index);
    eintrag->setData(Qt::UserRole, ordner.filePath(d));
  }
}

QStringList HilfeFenster::Index() const {
  QStringList titel;
  for (int i = 0; i < m_index->count(); ++i) titel << m_index->item(i)->text();
  return titel;
}

QString HilfeFenster::AktuelleDatei() const { return m_browser->source().toLocalFile(); }

QString HilfeFenster::ThemaOeffnen(int kontextNummer) {
  const QDir ordner(m_ordner);
  QString datei;
  if (kontextNummer > 0) datei = ordner.filePath(QString::number(kontextNummer) + QStringLiteral(".html"));
  if (datei.isEmpty() || !QFileInfo::exists(datei)) datei = ordner.filePath(QStringLiteral("index.html"));
  if (!QFileInfo::exists(datei)) {
    m_browser->setHtml(QStringLiteral("<h2>Hilfe nicht gefunden</h2><p>Im Ordner <b>") +
                       QDir::toNativeSeparators(m_ordner).toHtmlEscaped() +
                       QStringLiteral("</b> liegen keine Hilfeseiten.</p>"));
    return {};
  }
  m_browser->setSource(QUrl::fromLocalFile(datei));
  return datei;
}

HilfeFenster* HilfeFenster::Instanz(const QString& ordner) {
  static QPointer<HilfeFenster> instanz;
  if (instanz && instanz->Ordner() != ordner) {
    instanz->close();
    instanz->deleteLater();
    instanz = nullptr;
  }
  if (!instanz) {
    instanz = new HilfeFenster(ordner);
    instanz->setAttribute(Qt::WA_DeleteOnClose);
  }
  return instanz;
}

QString HilfeAnzeigen(int kontextNummer, const QString& hilfeOrdner, QWidget* eltern) {
  Q_UNUSED(eltern);
  HilfeFenster* fenster = HilfeFenster::Instanz(hilfeOrdner);
  const QString datei = fenster->ThemaOeffnen(kontextNummer);
  // A modal window blocks every window opened after it but a modal one: over a modal window the
  // viewer is modal itself, so that it can be scrolled and closed.
  QWidget* modal = QApplication::activeModalWidget();
  const Qt::WindowModality modalitaet = modal && modal != fenster ? Qt::ApplicationModal : Qt::NonModal;
  if (fenster->windowModality() != modalitaet) {
    fenster->hide();
    fenster->setWindowModality(modalitaet);
  }
  fenster->show();
  fenster->raise();
  fenster->activateWindow();
  return datei;
}
