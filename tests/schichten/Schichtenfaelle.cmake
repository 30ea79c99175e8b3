# The cases of the layering rules: a miniature of the program's graph that keeps every rule, and per case one
# arrow added to it ("from>to"; "-" for none) with the breach it must bring (empty: none).

set(TAMO_SCHICHT_KNOTEN
  tamo_platform_db tamo_platform_settings tamo_platform_ui tamo_platform_report_core tamo_platform_report tamo_iban
  tamo_common tamo_zahlungsverkehr tamo_payments_core tamo_import_core tamo_sepafiles_core tamo_printing_core
  tamo_sepafiles_druck tamo_printing tamo_payments tamo_import tamo_sepafiles tamo_shell sepa-lauf tamo-sepa)
set(TAMO_LINKS_tamo_platform_db Qt6::Core SQLite::SQLite3)
set(TAMO_LINKS_tamo_platform_settings Qt6::Core)
set(TAMO_LINKS_tamo_platform_ui Qt6::Widgets tamo_platform_db)
set(TAMO_LINKS_tamo_platform_report_core Qt6::Gui tamo_platform_db)
set(TAMO_LINKS_tamo_platform_report Qt6::Widgets Qt6::PrintSupport tamo_platform_report_core tamo_platform_ui)
set(TAMO_LINKS_tamo_iban Qt6::Core)
set(TAMO_LINKS_tamo_common Qt6::Core tamo_platform_db tamo_platform_settings)
set(TAMO_LINKS_tamo_zahlungsverkehr Qt6::Core tamo_common tamo_iban)
set(TAMO_LINKS_tamo_payments_core tamo_common tamo_zahlungsverkehr)
set(TAMO_LINKS_tamo_import_core tamo_payments_core)
set(TAMO_LINKS_tamo_sepafiles_core tamo_payments_core LibXml2::LibXml2)
set(TAMO_LINKS_tamo_printing_core Qt6::Gui tamo_platform_report_core tamo_common)
set(TAMO_LINKS_tamo_sepafiles_druck tamo_sepafiles_core tamo_printing_core)
set(TAMO_LINKS_tamo_printing Qt6::Widgets tamo_printing_core tamo_platform_report)
set(TAMO_LINKS_tamo_payments Qt6::Widgets tamo_payments_core tamo_platform_ui)
set(TAMO_LINKS_tamo_import Qt6::Widgets tamo_import_core)
set(TAMO_LINKS_tamo_sepafiles tamo_sepafiles_core tamo_sepafiles_druck tamo_printing tamo_payments_core)
set(TAMO_LINKS_tamo_shell tamo_payments tamo_import tamo_sepafiles)
set(TAMO_LINKS_sepa-lauf tamo_sepafiles_druck tamo_printing_core tamo_platform_report_core)
set(TAMO_LINKS_tamo-sepa tamo_shell)

#   name|arrow|breach
set(TAMO_SCHICHT_FAELLE
  "Miniatur|-|"
  "GleicheSchicht|tamo_sepafiles_core>tamo_import_core|"
  "TiefereSchicht|tamo_import_core>tamo_platform_settings|"
  "FensterZuDruckfenster|tamo_import>tamo_printing|"
  "ShellLinktFenster|tamo_shell>tamo_printing|"
  "FensterLinktFremdeFenster|tamo_sepafiles>tamo_payments|tamo_sepafiles (windows of sepafiles) links tamo_payments, the windows of payments: open another area's window through a hook the shell registers"
  "DruckfensterLinktFremdeFenster|tamo_printing>tamo_import|tamo_printing (windows of printing) links tamo_import, the windows of import"
  "KernMitQtGui|tamo_payments_core>Qt6::Gui|"
  "FensterMitWidgets|tamo_import>Qt6::PrintSupport|"
  "CommonLinktDomaene|tamo_common>tamo_zahlungsverkehr|tamo_common (layer common) links tamo_zahlungsverkehr of the higher layer zahlungsverkehr"
  "PlatformLinktCommon|tamo_platform_db>tamo_common|tamo_platform_db (layer platform) links tamo_common of the higher layer common"
  "DomaeneLinktKern|tamo_zahlungsverkehr>tamo_payments_core|tamo_zahlungsverkehr (layer zahlungsverkehr) links tamo_payments_core of the higher layer kern"
  "KernLinktFenster|tamo_payments_core>tamo_import|tamo_payments_core (layer kern) links tamo_import of the higher layer fenster"
  "FensterLinktShell|tamo_payments>tamo_shell|tamo_payments (layer fenster) links tamo_shell of the higher layer shell"
  "KernLinktQtWidgets|tamo_sepafiles_core>Qt6::Widgets|tamo_sepafiles_core must stay free of widgets but reaches Qt6::Widgets (tamo_sepafiles_core -> Qt6::Widgets)"
  "DomaeneLinktPrintSupport|tamo_zahlungsverkehr>Qt6::PrintSupport|tamo_zahlungsverkehr must stay free of widgets but reaches Qt6::PrintSupport"
  "KernLinktPlatformUi|tamo_import_core>tamo_platform_ui|tamo_import_core must stay free of widgets but reaches tamo_platform_ui"
  "CommonLinktReport|tamo_common>tamo_platform_report|tamo_common must stay free of widgets but reaches tamo_platform_report"
  "KernErreichtWidgetsUeberAndere|tamo_printing_core>tamo_platform_report|tamo_sepafiles_druck must stay free of widgets but reaches tamo_platform_report (tamo_sepafiles_druck -> tamo_printing_core -> tamo_platform_report)"
  "DatenbankLinktWidgets|tamo_platform_db>Qt6::Widgets|tamo_platform_db must stay free of widgets but reaches Qt6::Widgets"
  "IbanLinktDatenbank|tamo_iban>tamo_platform_db|tamo_iban stands alone on Qt6::Core but links tamo_platform_db"
  "IbanLinktQtGui|tamo_iban>Qt6::Gui|tamo_iban stands alone on Qt6::Core but links Qt6::Gui"
  "WerkzeugLinktFenster|sepa-lauf>tamo_sepafiles|sepa-lauf (layer kern) links tamo_sepafiles of the higher layer fenster"
  "KernLinktDruckfenster|tamo_sepafiles_druck>tamo_printing|tamo_sepafiles_druck (layer kern) links tamo_printing of the higher layer fenster"
  "WerkzeugLinktDruckfenster|sepa-lauf>tamo_printing|sepa-lauf must stay free of widgets but reaches tamo_printing"
  "BibliothekOhneSchicht|tamo_common>tamo_neu|tamo_common links tamo_neu, which has no layer in cmake/TamoSchichten.cmake"
)
