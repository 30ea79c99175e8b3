#include "common/SichereDateien.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

SichereDateien::Stoerung& Stoerung() {
  static SichereDateien::Stoerung s;
  return s;
}

// The injected errno of a call, 0 when none.
int Gestoert(const char* aufruf, const QString& pfad) { return Stoerung() ? Stoerung()(aufruf, pfad) : 0; }

QByteArray Systempfad(const QString& pfad) { return QFile::encodeName(QDir::toNativeSeparators(pfad)); }

}  // namespace

void SichereDateien::StoerungSetzen(Stoerung stoerung) { ::Stoerung() = std::move(stoerung); }

SichereDateien::SichereDateien(QString kennung, QString endung)
    : m_kennung(std::move(kennung)), m_endung(std::move(endung)) {}

SichereDateien::~SichereDateien() { Verwerfen(); }

QString SichereDateien::TemporaererName(const QString& ziel, const QString& kennung, const QString& endung) {
  return ziel + QLatin1Char('.') + kennung + endung;
}

QByteArray SichereDateien::Pruefsumme(const QByteArray& inhalt) {
  return QCryptographicHash::hash(inhalt, QCryptographicHash::Sha256).toHex();
}

bool SichereDateien::Vollstaendig(const QString& pfad, qint64 groesse, const QByteArray& pruefsumme) {
  const QFileInfo info(pfad);
  if (!info.isFile() || info.size() != groesse) return false;
  QFile f(pfad);
  if (!f.open(QIODevice::ReadOnly)) return false;
  QCryptographicHash summe(QCryptographicHash::Sha256);
  if (!summe.addData(&f)) return false;
  return summe.result().toHex() == pruefsumme;
}

DateiFehler SichereDateien::NeuSchreiben(const QString& pfad, const QByteArray& inhalt, const QString& anzeige) {
  const QString gemeldet = anzeige.isEmpty() ? pfad : anzeige;
#ifdef Q_OS_UNIX
  const QByteArray name = Systempfad(pfad);
  int fehler = Gestoert("open", pfad);
  const int fd = fehler ? -1 : ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return DateiFehlerAusSystem(fehler ? fehler : errno, gemeldet);
  const char* p = inhalt.constData();
  qint64 rest = inhalt.size();
  bool kurz = false;
  while (rest > 0 && !fehler) {
    const int stoerung = Gestoert("write", pfad);
    qint64 n;
    if (stoerung == -1) {   // the file system takes half and then nothing more
      n = ::write(fd, p, size_t(rest / 2));
      kurz = true;
    } else if (stoerung) {
      errno = stoerung;
      n = -1;
    } else {
      n = ::write(fd, p, size_t(rest));
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      fehler = errno;
      break;
    }
    p += n;
    rest -= n;
    if (n == 0 || kurz) break;
  }
  DateiFehler ergebnis;
  if (fehler)
    ergebnis = DateiFehlerAusSystem(fehler, gemeldet);
  else if (rest > 0)
    ergebnis = UnvollstaendigGeschrieben(gemeldet, inhalt.size() - rest, inhalt.size());
  if (!ergebnis) {
    const int f = Gestoert("fsync", pfad);
    if (f || ::fsync(fd) != 0) ergebnis = DateiFehlerAusSystem(f ? f : errno, gemeldet);
  }
  // A network file system may report a full disk only now.
  const int c = Gestoert("close", pfad);
  if ((::close(fd) != 0 || c) && !ergebnis) ergebnis = DateiFehlerAusSystem(c ? c : errno, gemeldet);
  if (ergebnis) ::unlink(name.constData());
  return ergebnis;
#else
  QFile datei(pfad);
  if (!datei.open(QIODevice::WriteOnly | QIODevice::NewOnly))
    return {DateiFehlerNr::ZugriffsFehler, datei.errorString() + QStringLiteral(": ") + QDir::toNativeSeparators(gemeldet)};
  const qint64 n = datei.write(inhalt);
  if (n != inhalt.size() || !datei.flush()) {
    datei.close();
    QFile::remove(pfad);
    return n >= 0 && n < inhalt.size() ? UnvollstaendigGeschrieben(gemeldet, n, inhalt.size())
                                       : DateiFehler{DateiFehlerNr::ZugriffsFehler, datei.errorString()};
  }
  return {};
#endif
}

DateiFehler SichereDateien::Ersetzen(const QString& ziel, const QByteArray& inhalt) {
  const QString temporaer =
      TemporaererName(ziel, QString::number(QRandomGenerator::global()->generate64(), 16), QStringLiteral(".tmp"));
  if (DateiFehler f = NeuSchreiben(temporaer, inhalt, ziel)) return f;
  if (DateiFehler f = Umbenennen(temporaer, ziel)) {
    QFile::remove(temporaer);
    return f;
  }
  return OrdnerSynchronisieren(QFileInfo(ziel).absolutePath());
}

DateiFehler SichereDateien::Umbenennen(const QString& von, const QString& nach) {
  if (const int f = Gestoert("rename", nach)) return DateiFehlerAusSystem(f, nach);
  if (std::rename(Systempfad(von).constData(), Systempfad(nach).constData()) != 0)
    return DateiFehlerAusSystem(errno, nach);
  return {};
}

DateiFehler SichereDateien::OrdnerSynchronisieren(const QString& ordner) {
#ifdef Q_OS_UNIX
  if (const int f = Gestoert("fsyncdir", ordner)) return DateiFehlerAusSystem(f, ordner);
  const int fd = ::open(Systempfad(ordner).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return DateiFehlerAusSystem(errno, ordner);
  // Some file systems cannot sync a folder; what they can do, they did with the rename.
  const int rc = ::fsync(fd);
  const int fehler = errno;
  ::close(fd);
  if (rc != 0 && fehler != EINVAL && fehler != ENOTSUP) return DateiFehlerAusSystem(fehler, ordner);
#endif
  return {};
}

DateiFehler SichereDateien::Schreiben(const QString& ziel, const QByteArray& inhalt) {
  Datei d;
  d.ziel = ziel;
  d.temporaer = TemporaererName(ziel, m_kennung, m_endung);
  d.beiseite = ziel + QStringLiteral(".alt-") + m_kennung + m_endung;
  d.groesse = inhalt.size();
  d.pruefsumme = Pruefsumme(inhalt);
  if (DateiFehler f = NeuSchreiben(d.temporaer, inhalt, ziel)) return f;
  m_dateien << d;
  return {};
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
  for (const Datei& d : m_dateien)
    if (!d.eingesetzt) QFile::remove(d.temporaer);
}

QStringList SichereDateien::Abschliessen() {
  QStringList bleiben;
  for (Datei& d : m_dateien) {
    if (d.altBeiseite && !QFile::remove(d.beiseite)) bleiben << QDir::toNativeSeparators(d.beiseite);
    d.altBeiseite = false;
  }
  return bleiben;
}
