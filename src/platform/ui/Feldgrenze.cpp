#include "platform/ui/Feldgrenze.h"

#include <QLineEdit>
#include <QPointer>
#include <QValidator>

#include "platform/ui/Meldung.h"

namespace {

// Refuses a text longer than the limit; a validator the field had before decides first.
class Laengenpruefer : public QValidator {
 public:
  Laengenpruefer(QLineEdit* feld, const QValidator* innen) : QValidator(feld), m_innen(innen) {}

  int grenze = 0;
  mutable bool zuLang = false;   // the last refusal was the limit's (not the inner validator's)

  State validate(QString& eingabe, int& position) const override {
    zuLang = false;
    State zustand = Acceptable;
    if (m_innen) {
      zustand = m_innen->validate(eingabe, position);
      if (zustand == Invalid) return Invalid;
    }
    if (grenze > 0 && eingabe.size() > grenze) {
      zuLang = true;
      return Invalid;
    }
    return zustand;
  }
  void fixup(QString& eingabe) const override {
    if (m_innen) m_innen->fixup(eingabe);
  }

 private:
  QPointer<const QValidator> m_innen;
};

}  // namespace

namespace Feldgrenze {

void Setzen(QLineEdit* feld, int zeichen) {
  if (!feld) return;
  auto* pruefer = const_cast<Laengenpruefer*>(dynamic_cast<const Laengenpruefer*>(feld->validator()));
  if (!pruefer) {
    pruefer = new Laengenpruefer(feld, feld->validator());
    feld->setValidator(pruefer);
    QObject::connect(feld, &QLineEdit::inputRejected, pruefer, [feld, pruefer] {
      if (!pruefer->zuLang) return;
      pruefer->zuLang = false;
      Melden(feld, pruefer->grenze);
    });
  }
  // The validator is the limit: the field's own maximum would cut a pasted text without a word.
  feld->setMaxLength(32767);
  pruefer->grenze = qMax(0, zeichen);
}

int Grenze(const QLineEdit* feld) {
  const auto* pruefer = feld ? dynamic_cast<const Laengenpruefer*>(feld->validator()) : nullptr;
  return pruefer ? pruefer->grenze : 0;
}

QString Hinweistext(int zeichen) {
  return QStringLiteral("Dieses Feld nimmt höchstens %1 Zeichen auf.\rDie weitere Eingabe wurde nicht übernommen.")
      .arg(zeichen);
}

void Melden(QWidget* feld, int zeichen) { Meldung::Randhinweis(Hinweistext(zeichen), feld); }

}  // namespace Feldgrenze
