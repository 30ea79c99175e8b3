#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

// Says beside a field when its validator refuses a typed character or a pasted text: nothing typed
// vanishes without a word ("12ab,5x" in an amount). The field keeps what it accepted; the hint names what
// was refused and what the field takes. Lives as long as the field.
class Eingabehinweis : public QObject {
  Q_OBJECT
 public:
  using Erlaubt = std::function<QString()>;               // "Erlaubt sind Ziffern, ..."
  using Rueckmeldung = std::function<void(const QString&)>;

  // `tasten` is the widget that receives the keys (a spin box forwards them to its line edit); default the field.
  Eingabehinweis(QLineEdit* feld, Erlaubt erlaubt, Rueckmeldung rueckmeldung = {}, QObject* tasten = nullptr);

  // The hint for a refused text: typed (a character) or pasted.
  static QString Text(const QString& eingabe, bool eingefuegt, const QString& erlaubt);
  // The rules of the number and date fields.
  static QString ZahlErlaubt(bool ganzzahl);
  static QString DatumErlaubt();

  QString Letzter() const { return m_letzter; }

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  bool Abgelehnt(const QString& einfuegen) const;
  void Zeigen(const QString& hinweis);

  QLineEdit* m_feld;
  QObject* m_tasten;
  Erlaubt m_erlaubt;
  Rueckmeldung m_rueckmeldung;
  QString m_letzter;
};
