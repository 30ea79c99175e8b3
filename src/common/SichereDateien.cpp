#include "common/SichereDateien.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#include "platform/db/Dateisystem.h"

namespace {

SichereDateien::Stoerung& Stoerung() {
  static SichereDateien::Stoerung s;
  return s;
}

// The injected errno of a call, 0 when none.
int Gestoert(const char* aufruf, const QString& pfad) { return Stoerung() ? Stoerung()(aufruf, pfad) : 0; }

using Dateisystem::Systempfad;

constexpr auto Summenverfahren = QCryptographicHash::Blake2b_256;

#ifdef Q_OS_UNIX
// Locks of an open file, not of the process: another descriptor of the file closed in this process keeps
// them, and a test sees the lock of another object in its own process.
#ifdef F_OFD_SETLK
constexpr int SperreSetzen = F_OFD_SETLK;
constexpr int SperreLesen = F_OFD_GETLK;
#else
constexpr int SperreSetzen = F_SETLK;
constexpr int SperreLesen = F_GETLK;
#endif

// The writer's mark on its new file `fd`: a write lock of the file, kept through a second descriptor of the
// same open file (so that the one written through can be closed and checked as before).
SichereDateien::Belegung Belegen(int fd) {
  struct flock sperre {};
  sperre.l_type = F_WRLCK;
  sperre.l_whence = SEEK_SET;
  if (::fcntl(fd, SperreSetzen, &sperre) != 0) return {};
  const int halter = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (halter < 0) return {};
  return SichereDateien::Belegung(new int(halter), [](const int* p) {
    ::close(*p);
    delete p;
  });
}
#endif

}  // namespace

void SichereDateien::StoerungSetzen(Stoerung stoerung) { ::Stoerung() = std::move(stoerung); }

// A new file (an existing one of the name is an error) written through the system calls, each behind the
// test seam. Every failure names `gemeldet`, the path the user knows.
class SichereDateien::Rohdatei {
 public:
  Rohdatei(QString pfad, QString gemeldet) : m_pfad(std::move(pfad)), m_gemeldet(std::move(gemeldet)) {}
  ~Rohdatei() { Verwerfen(); }

  DateiFehler Oeffnen() {
#ifdef Q_OS_UNIX
    const int fehler = Gestoert("open", m_pfad);
    m_fd = fehler ? -1 : ::open(Systempfad(m_pfad).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0) return DateiFehlerAusSystem(fehler ? fehler : errno, m_gemeldet);
    m_belegung = Belegen(m_fd);
#else
    m_datei.setFileName(m_pfad);
    if (!m_datei.open(QIODevice::WriteOnly | QIODevice::NewOnly))
      return {DateiFehlerNr::ZugriffsFehler, m_datei.errorString() + QStringLiteral(": ") + QDir::toNativeSeparators(m_gemeldet)};
#endif
    m_offen = true;
    return {};
  }

  // All of `daten`; a short write without a reason is reported with the bytes written of those handed over.
  DateiFehler Schreiben(QByteArrayView daten) {
    const qint64 soll = m_geschrieben + daten.size();
#ifdef Q_OS_UNIX
    const char* p = daten.data();
    qint64 rest = daten.size();
    bool kurz = false;
    int fehler = 0;
    while (rest > 0) {
      const int stoerung = Gestoert("write", m_pfad);
      qint64 n;
      if (stoerung == -1) {   // the file system takes half and then nothing more
        n = ::write(m_fd, p, size_t(rest / 2));
        kurz = true;
      } else if (stoerung) {
        errno = stoerung;
        n = -1;
      } else {
        n = ::write(m_fd, p, size_t(rest));
      }
      if (n < 0) {
        if (errno == EINTR) continue;
        fehler = errno;
        break;
      }
      p += n;
      rest -= n;
      m_geschrieben += n;
      if (n == 0 || kurz) break;
    }
    if (fehler) return DateiFehlerAusSystem(fehler, m_gemeldet);
#ifdef Q_OS_LINUX
    // Write-out begins now, without waiting for it (a hint; Abschliessen's fsync still decides).
    ::sync_file_range(m_fd, soll - daten.size(), daten.size(), SYNC_FILE_RANGE_WRITE);
#endif
#else
    const qint64 n = m_datei.write(daten.data(), daten.size());
    if (n > 0) m_geschrieben += n;
    if (n < 0) return {DateiFehlerNr::ZugriffsFehler, m_datei.errorString()};
#endif
    if (m_geschrieben < soll) return UnvollstaendigGeschrieben(m_gemeldet, m_geschrieben, soll);
    return {};
  }

  // Forced to disk and closed; the file stays.
  DateiFehler Abschliessen() {
    DateiFehler ergebnis;
#ifdef Q_OS_UNIX
    const int f = Gestoert("fsync", m_pfad);
    if (f || ::fsync(m_fd) != 0) ergebnis = DateiFehlerAusSystem(f ? f : errno, m_gemeldet);
    // A network file system may report a full disk only now.
    const int c = Gestoert("close", m_pfad);
    if ((::close(m_fd) != 0 || c) && !ergebnis) ergebnis = DateiFehlerAusSystem(c ? c : errno, m_gemeldet);
    m_fd = -1;
#else
    if (!m_datei.flush()) ergebnis = {DateiFehlerNr::ZugriffsFehler, m_datei.errorString()};
    m_datei.close();
#endif
    m_offen = false;
    if (ergebnis) {
      ::QFile::remove(m_pfad);
      m_belegung.reset();
    }
    return ergebnis;
  }

  // The writer's lock of the complete file, for whoever keeps the file until it is renamed.
  SichereDateien::Belegung Belegung() const { return m_belegung; }

  // Closed and removed (after a failure, or unfinished).
  void Verwerfen() {
    if (!m_offen) return;
#ifdef Q_OS_UNIX
    ::close(m_fd);
    m_fd = -1;
    ::unlink(Systempfad(m_pfad).constData());
#else
    m_datei.close();
    m_datei.remove();
#endif
    m_offen = false;
    m_belegung.reset();
  }

 private:
  QString m_pfad;
  QString m_gemeldet;
  qint64 m_geschrieben = 0;
  bool m_offen = false;
  SichereDateien::Belegung m_belegung;   // until this object goes (the caller may keep a copy)
#ifdef Q_OS_UNIX
  int m_fd = -1;
#else
  QFile m_datei;
#endif
};

SichereDateien::SichereDateien(QString kennung, QString endung)
    : m_kennung(std::move(kennung)), m_endung(std::move(endung)) {}

SichereDateien::~SichereDateien() { Verwerfen(); }

QString SichereDateien::TemporaererName(const QString& ziel, const QString& kennung, const QString& endung) {
  return ziel + QLatin1Char('.') + kennung + endung;
}

QString SichereDateien::BeiseiteName(const QString& ziel, const QString& kennung, const QString& endung) {
  return ziel + QStringLiteral(".alt-") + kennung + endung;
}

QString SichereDateien::NeueKennung() {
  return QString::number(QRandomGenerator::global()->generate64(), 16).rightJustified(16, QLatin1Char('0'));
}

bool SichereDateien::IstTemporaerdatei(const QString& pfad) {
  static const QRegularExpression muster(QStringLiteral("\\.(alt-)?[0-9a-f]{16}\\.sepatmp$"));
  return muster.match(pfad).hasMatch();
}

bool SichereDateien::InBenutzung(const QString& pfad) {
#ifdef Q_OS_UNIX
  const int fd = ::open(Systempfad(pfad).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return errno != ENOENT;
  struct flock sperre {};
  sperre.l_type = F_RDLCK;   // conflicts with the writer's write lock
  sperre.l_whence = SEEK_SET;
  const bool gelesen = ::fcntl(fd, SperreLesen, &sperre) == 0;
  ::close(fd);
  return !gelesen || sperre.l_type != F_UNLCK;
#else
  Q_UNUSED(pfad);
  return false;
#endif
}

QByteArray SichereDateien::Pruefsumme(QByteArrayView inhalt) {
  return QCryptographicHash::hash(inhalt, Summenverfahren).toHex();
}

bool SichereDateien::Vollstaendig(const QString& pfad, qint64 groesse, const QByteArray& pruefsumme) {
  const QFileInfo info(pfad);
  if (!info.isFile() || info.size() != groesse) return false;
  // Only the records of an earlier version, which hold SHA-256, cost a second reading.
  for (const QCryptographicHash::Algorithm verfahren : {Summenverfahren, QCryptographicHash::Sha256}) {
    QFile f(pfad);
    QCryptographicHash summe(verfahren);
    if (!f.open(QIODevice::ReadOnly) || !summe.addData(&f)) return false;
    if (summe.result().toHex() == pruefsumme) return true;
  }
  return false;
}

DateiFehler SichereDateien::NeuSchreiben(const QString& pfad, const QByteArray& inhalt, const QString& anzeige) {
  Rohdatei datei(pfad, anzeige.isEmpty() ? pfad : anzeige);
  if (DateiFehler f = datei.Oeffnen()) return f;
  if (DateiFehler f = datei.Schreiben(inhalt)) return f;
  return datei.Abschliessen();
}

namespace {

// A file beside `ziel` for one replacement.
QString Ersatzname(const QString& ziel) {
  return SichereDateien::TemporaererName(ziel, SichereDateien::NeueKennung(), SichereDateien::Endung());
}

// The complete file `temporaer` in place of `ziel`, the rename made durable; the temporary goes when it fails.
DateiFehler AnDieStelle(const QString& temporaer, const QString& ziel) {
  if (DateiFehler f = SichereDateien::Umbenennen(temporaer, ziel)) {
    QFile::remove(temporaer);
    return f;
  }
  return SichereDateien::OrdnerSynchronisieren(QFileInfo(ziel).absolutePath());
}

}  // namespace

DateiFehler SichereDateien::Ersetzen(const QString& ziel, const QByteArray& inhalt) {
  const QString temporaer = Ersatzname(ziel);
  Rohdatei datei(temporaer, ziel);   // holds the temporary until it is in place
  if (DateiFehler f = datei.Oeffnen()) return f;
  if (DateiFehler f = datei.Schreiben(inhalt)) return f;
  if (DateiFehler f = datei.Abschliessen()) return f;
  return AnDieStelle(temporaer, ziel);
}

DateiFehler SichereDateien::Kopieren(const QString& quelle, const QString& ziel) {
  QFile q(quelle);
  if (!q.open(QIODevice::ReadOnly)) return DateiFehlerAusSystem(QFileInfo::exists(quelle) ? EACCES : ENOENT, quelle);
  const QString temporaer = Ersatzname(ziel);
  Rohdatei datei(temporaer, ziel);   // holds the temporary until it is in place
  if (DateiFehler f = datei.Oeffnen()) return f;
  QByteArray block(1 << 20, Qt::Uninitialized);
  for (;;) {
    const qint64 n = q.read(block.data(), block.size());
    if (n < 0)
      return {DateiFehlerNr::EinAusgabeFehler,
              QStringLiteral("Die Datei kann nicht gelesen werden: ") + QDir::toNativeSeparators(quelle)};
    if (n == 0) break;
    if (DateiFehler f = datei.Schreiben(QByteArrayView(block.constData(), n))) return f;
  }
  if (DateiFehler f = datei.Abschliessen()) return f;
  return AnDieStelle(temporaer, ziel);
}

DateiFehler SichereDateien::Umbenennen(const QString& von, const QString& nach) {
  if (const int f = Gestoert("rename", nach)) return DateiFehlerAusSystem(f, nach);
  if (const int f = Dateisystem::Ersetzen(von, nach)) return DateiFehlerAusSystem(f, nach);
  return {};
}

DateiFehler SichereDateien::OrdnerSynchronisieren(const QString& ordner) {
#ifdef Q_OS_UNIX
  if (const int f = Gestoert("fsyncdir", ordner)) return DateiFehlerAusSystem(f, ordner);
  if (const int f = Dateisystem::OrdnerSynchronisieren(ordner)) return DateiFehlerAusSystem(f, ordner);
#endif
  return {};
}

SichereDateien::Strom::Strom(SichereDateien& besitzer, Datei datei)
    : m_besitzer(besitzer), m_datei(std::move(datei)), m_summe(Summenverfahren),
      m_roh(std::make_unique<Rohdatei>(m_datei.temporaer, m_datei.ziel)) {}

SichereDateien::Strom::~Strom() = default;

std::unique_ptr<SichereDateien::Strom> SichereDateien::Oeffnen(const QString& ziel, DateiFehler& fehler) {
  Datei d;
  d.ziel = ziel;
  d.temporaer = TemporaererName(ziel, m_kennung, m_endung);
  d.beiseite = BeiseiteName(ziel, m_kennung, m_endung);
  std::unique_ptr<Strom> strom(new Strom(*this, std::move(d)));
  fehler = strom->m_roh->Oeffnen();
  if (fehler) return nullptr;
  return strom;
}

DateiFehler SichereDateien::Strom::Anhaengen(QByteArrayView daten) {
  if (m_fehler || !m_roh) return m_fehler;
  m_summe.addData(daten);
  m_datei.groesse += daten.size();
  if ((m_fehler = m_roh->Schreiben(daten))) m_roh.reset();
  return m_fehler;
}

DateiFehler SichereDateien::Strom::Beenden() {
  if (m_fehler || !m_roh) return m_fehler;
  m_fehler = m_roh->Abschliessen();
  m_datei.belegung = m_roh->Belegung();
  m_roh.reset();
  if (m_fehler) return m_fehler;
  m_datei.pruefsumme = m_summe.result().toHex();
  m_besitzer.m_dateien << m_datei;
  return {};
}

DateiFehler SichereDateien::Schreiben(const QString& ziel, const QByteArray& inhalt) {
  DateiFehler f;
  const std::unique_ptr<Strom> strom = Oeffnen(ziel, f);
  if (!strom) return f;
  if ((f = strom->Anhaengen(inhalt))) return f;
  return strom->Beenden();
}

DateiFehler SichereDateien::Einsetzen(qsizetype i) {
  Datei& d = m_dateien[i];
  if (d.eingesetzt) return {};
  if (QFileInfo::exists(d.ziel) && !QFileInfo(d.ziel).isDir()) {
    if (DateiFehler f = Umbenennen(d.ziel, d.beiseite)) return f;
    d.altBeiseite = true;
  }
  if (DateiFehler f = Umbenennen(d.temporaer, d.ziel)) return f;
  d.eingesetzt = true;
  d.belegung.reset();
  return {};
}

DateiFehler SichereDateien::OrdnerSynchronisieren() {
  QStringList ordner;
  for (const Datei& d : m_dateien) {
    const QString o = QFileInfo(d.ziel).absolutePath();
    if (!ordner.contains(o)) ordner << o;
  }
  for (const QString& o : ordner)
    if (DateiFehler f = OrdnerSynchronisieren(o)) return f;
  return {};
}

QStringList SichereDateien::Zuruecknehmen() {
  QStringList probleme;
  for (Datei& d : m_dateien) {
    if (d.eingesetzt) {
      if (DateiFehler f = Umbenennen(d.ziel, d.temporaer))
        probleme << f.Beschreibung;
      else
        d.eingesetzt = false;
    }
    if (d.altBeiseite && !d.eingesetzt) {
      if (DateiFehler f = Umbenennen(d.beiseite, d.ziel))
        probleme << f.Beschreibung;
      else
        d.altBeiseite = false;
    }
  }
  return probleme;
}

void SichereDateien::Verwerfen() {
  for (Datei& d : m_dateien) {
    if (!d.eingesetzt) QFile::remove(d.temporaer);
    d.belegung.reset();
  }
}

QStringList SichereDateien::Abschliessen() {
  QStringList bleiben;
  for (Datei& d : m_dateien) {
    if (d.altBeiseite && !QFile::remove(d.beiseite)) bleiben << QDir::toNativeSeparators(d.beiseite);
    d.altBeiseite = false;
  }
  return bleiben;
}
