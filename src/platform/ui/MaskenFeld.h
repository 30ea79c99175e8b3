#pragma once

#include <QLineEdit>

class MaskenValidator;

enum class Zeichenklasse {
  Alle,                   // any character
  GrossbuchstabenZiffern  // A-Z and 0-9; small letters become capitals, everything else is dropped (BIC, IBAN)
};

// Text entry with a length limit taken from the bound field's size, a character class, and the IBAN
// display in blocks of four whose value never contains the blanks.
class MaskenFeld : public QLineEdit {
  Q_OBJECT
 public:
  explicit MaskenFeld(QWidget* eltern = nullptr);
  ~MaskenFeld() override;

  // Limit in value characters (blanks of the block display not counted); 0 = none. Input beyond it is
  // refused with a notice at the field (Feldgrenze); a value set from code is never cut.
  void MaxLaengeSetzen(int zeichen);
  int MaxLaenge() const { return m_maxLaenge; }
  void ZeichenklasseSetzen(Zeichenklasse klasse);
  Zeichenklasse Klasse() const { return m_klasse; }
  // IBAN display "DE89 3704 0044 ..."; switches the class to capitals and digits.
  void IbanBlockSetzen(bool block);
  bool IbanBlock() const { return m_block; }

  // The value: the text without the display blanks of the block mode.
  QString Wert() const;
  // Sets the value from code: normalised like typed input (never cut), but no typing signal (Getippt) fires.
  void WertSetzen(const QString& wert);

  // Caret and selection, in display positions (what the user sees).
  int Caret() const { return cursorPosition(); }
  void CaretSetzen(int position);
  int AuswahlStart() const { return selectionStart(); }
  int AuswahlLaenge() const { return selectedText().size(); }
  void AuswahlSetzen(int start, int laenge);

  // Validity colours: invalid = white on red; valid = the system colours.
  void GueltigkeitAnzeigen(bool gueltig);
  bool UngueltigAngezeigt() const { return m_ungueltig; }

  // The display of a value: blocks of four in block mode, otherwise the value itself.
  static QString BlockAnzeige(const QString& wert);

  // A field of codes (capitals and digits with a length limit: BIC, IBAN) is never narrower than its
  // longest value of the widest capitals, so that no BIC or IBAN it holds is shown cut.
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 Q_SIGNALS:
  // The user changed the text (typing, pasting, deleting); not raised by WertSetzen.
  void Getippt(const QString& wert);
  // Double click (the windows open their search list on it).
  void Doppelklick();

 protected:
  void keyPressEvent(QKeyEvent* ereignis) override;
  void mouseDoubleClickEvent(QMouseEvent* ereignis) override;

 private:
  void Einrichten();

  MaskenValidator* m_validator = nullptr;
  int m_maxLaenge = 0;
  Zeichenklasse m_klasse = Zeichenklasse::Alle;
  bool m_block = false;
  bool m_ungueltig = false;
};
