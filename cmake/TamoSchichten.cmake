# The layers of the program's libraries and the arrows allowed between them, checked at every configure:
#
#   platform <- common <- zahlungsverkehr <- area cores <- area windows <- shell
#
# - A library links libraries of its own layer or of a lower one, never of a higher one.
# - iban stands alone: it links Qt6::Core and nothing else.
# - A widget-free library reaches no widget library, neither directly nor through another one: not Qt6::Widgets,
#   not Qt6::PrintSupport, not a library marked "widgets" below. QtGui (the offscreen PDF) is allowed.
# - An area's windows link no window library of another area: a window opens another area's window through a
#   hook the shell registers. Printing's windows (report choice, print dialog, designer), through which every
#   window prints, are the one window library all areas share.
# The header staging of tamo_library already stops an include of a library that is not linked; this file stops
# the wrong link.

# Layers, lowest first.
set(TAMO_SCHICHTEN platform common zahlungsverkehr kern fenster shell)

# Every library (and every headless program) with its layer, whether it may use widgets, and its area. A
# library of tamo_library that is missing here stops the configure.
#   name                      layer            kind        area
set(TAMO_SCHICHTTABELLE
  tamo_platform_db            platform         widgetfrei  platform
  tamo_platform_settings      platform         widgetfrei  platform
  tamo_platform_ui            platform         widgets     platform
  tamo_platform_report_core   platform         widgetfrei  platform
  tamo_platform_report        platform         widgets     platform
  tamo_iban                   platform         widgetfrei  iban
  tamo_common                 common           widgetfrei  common
  tamo_zahlungsverkehr        zahlungsverkehr  widgetfrei  zahlungsverkehr
  tamo_masterdata_core        kern             widgetfrei  masterdata
  tamo_payments_core          kern             widgetfrei  payments
  tamo_sepafiles_core         kern             widgetfrei  sepafiles
  tamo_sepafiles_druck        kern             widgetfrei  sepafiles
  tamo_printing_core          kern             widgetfrei  printing
  tamo_import_core            kern             widgetfrei  import
  sepa-lauf                   kern             widgetfrei  sepafiles
  iban-konvertieren           kern             widgetfrei  iban
  tamo_printing               fenster          widgets     printing
  tamo_masterdata             fenster          widgets     masterdata
  tamo_payments               fenster          widgets     payments
  tamo_sepafiles              fenster          widgets     sepafiles
  tamo_import                 fenster          widgets     import
  tamo_shell                  shell            widgets     shell
  tamo-sepa                   shell            widgets     shell
)

# Libraries that stand alone on QtCore.
set(TAMO_SCHICHT_ALLEIN tamo_iban)

# Window libraries every area's windows may link.
set(TAMO_SCHICHT_GEMEINSAME_FENSTER tamo_printing)

set(TAMO_WIDGET_QT "^Qt6::(.*Widgets|PrintSupport)$")

# Reads the table into TAMO_SCHICHT_<name> (index of the layer), TAMO_ART_<name> and TAMO_BEREICH_<name> in the
# caller's scope.
macro(_tamo_schichttabelle_lesen)
  set(_tabelle ${TAMO_SCHICHTTABELLE})
  set(TAMO_SCHICHT_NAMEN "")
  while(_tabelle)
    list(POP_FRONT _tabelle _name _schicht _art _bereich)
    list(FIND TAMO_SCHICHTEN ${_schicht} _index)
    if(_index LESS 0)
      message(FATAL_ERROR "cmake/TamoSchichten.cmake: ${_name} names the unknown layer ${_schicht}")
    endif()
    set(TAMO_SCHICHT_${_name} ${_index})
    set(TAMO_ART_${_name} ${_art})
    set(TAMO_BEREICH_${_name} ${_bereich})
    list(APPEND TAMO_SCHICHT_NAMEN ${_name})
  endwhile()
endmacro()

# The first widget library `start` reaches, as the path of links after it ("a;b;Qt6::Widgets"); empty when none.
function(_tamo_widgetpfad start ergebnis)
  set(offen ${start})
  set(gesehen ${start})
  while(offen)
    list(POP_FRONT offen knoten)
    foreach(ziel IN LISTS TAMO_LINKS_${knoten})
      if(ziel IN_LIST gesehen)
        continue()
      endif()
      list(APPEND gesehen ${ziel})
      if(ziel MATCHES "${TAMO_WIDGET_QT}" OR "${TAMO_ART_${ziel}}" STREQUAL "widgets")
        set(pfad ${ziel})
        set(zurueck ${knoten})
        while(NOT zurueck STREQUAL start)
          list(PREPEND pfad ${zurueck})
          set(zurueck ${_vorher_${zurueck}})
        endwhile()
        set(${ergebnis} "${pfad}" PARENT_SCOPE)
        return()
      endif()
      if(ziel IN_LIST TAMO_SCHICHT_KNOTEN)
        set(_vorher_${ziel} ${knoten})
        list(APPEND offen ${ziel})
      endif()
    endforeach()
  endwhile()
  set(${ergebnis} "" PARENT_SCOPE)
endfunction()

# The breaches of the rules in the graph TAMO_SCHICHT_KNOTEN (names) / TAMO_LINKS_<name> (direct links), one
# sentence each.
function(tamo_schichten_befunde ergebnis)
  _tamo_schichttabelle_lesen()
  set(befunde "")
  foreach(knoten IN LISTS TAMO_SCHICHT_KNOTEN)
    if(NOT DEFINED TAMO_SCHICHT_${knoten})
      list(APPEND befunde "${knoten} has no layer: give it one in cmake/TamoSchichten.cmake")
      continue()
    endif()
    list(GET TAMO_SCHICHTEN ${TAMO_SCHICHT_${knoten}} schicht)
    foreach(ziel IN LISTS TAMO_LINKS_${knoten})
      if(knoten IN_LIST TAMO_SCHICHT_ALLEIN AND NOT ziel STREQUAL "Qt6::Core")
        list(APPEND befunde "${knoten} stands alone on Qt6::Core but links ${ziel}")
      endif()
      if(DEFINED TAMO_SCHICHT_${ziel})
        list(GET TAMO_SCHICHTEN ${TAMO_SCHICHT_${ziel}} zielschicht)
        if(TAMO_SCHICHT_${ziel} GREATER TAMO_SCHICHT_${knoten})
          list(APPEND befunde
               "${knoten} (layer ${schicht}) links ${ziel} of the higher layer ${zielschicht}")
        elseif(schicht STREQUAL "fenster" AND zielschicht STREQUAL "fenster"
               AND NOT TAMO_BEREICH_${knoten} STREQUAL TAMO_BEREICH_${ziel}
               AND NOT ziel IN_LIST TAMO_SCHICHT_GEMEINSAME_FENSTER)
          string(CONCAT befund "${knoten} (windows of ${TAMO_BEREICH_${knoten}}) links ${ziel}, the windows of "
                 "${TAMO_BEREICH_${ziel}}: open another area's window through a hook the shell registers")
          list(APPEND befunde "${befund}")
        endif()
      elseif(ziel MATCHES "^tamo[_-]")
        list(APPEND befunde "${knoten} links ${ziel}, which has no layer in cmake/TamoSchichten.cmake")
      endif()
    endforeach()
    if(TAMO_ART_${knoten} STREQUAL "widgetfrei")
      _tamo_widgetpfad(${knoten} pfad)
      if(pfad)
        list(GET pfad -1 widget)
        string(REPLACE ";" " -> " weg "${pfad}")
        list(APPEND befunde "${knoten} must stay free of widgets but reaches ${widget} (${knoten} -> ${weg})")
      endif()
    endif()
  endforeach()
  set(${ergebnis} "${befunde}" PARENT_SCOPE)
endfunction()

# At the end of the configure: the graph of the program's libraries and headless programs as they are linked,
# written for the test, and checked. Any breach stops the configure.
function(tamo_schichten_pruefen)
  _tamo_schichttabelle_lesen()
  get_property(knoten GLOBAL PROPERTY TAMO_BIBLIOTHEKEN)
  foreach(name IN LISTS TAMO_SCHICHT_NAMEN)
    if(TARGET ${name} AND NOT name IN_LIST knoten)
      get_target_property(typ ${name} TYPE)
      if(typ STREQUAL "EXECUTABLE")
        list(APPEND knoten ${name})
      endif()
    endif()
  endforeach()
  set(TAMO_SCHICHT_KNOTEN ${knoten})
  set(inhalt "# Written by the configure (cmake/TamoSchichten.cmake): the links of every library and headless program.\n")
  string(APPEND inhalt "set(TAMO_SCHICHT_KNOTEN \"${knoten}\")\n")
  foreach(name IN LISTS knoten)
    get_target_property(links ${name} LINK_LIBRARIES)
    if(NOT links)
      set(links "")
    endif()
    # Links made from another folder are framed by "::@(...)" markers.
    list(FILTER links EXCLUDE REGEX "^::@")
    set(TAMO_LINKS_${name} ${links})
    string(APPEND inhalt "set(TAMO_LINKS_${name} \"${links}\")\n")
  endforeach()
  file(WRITE ${PROJECT_BINARY_DIR}/schichten/Verknuepfungen.cmake "${inhalt}")
  tamo_schichten_befunde(befunde)
  if(befunde)
    list(JOIN befunde "\n  " text)
    message(FATAL_ERROR "The libraries break the layering (cmake/TamoSchichten.cmake):\n  ${text}\n")
  endif()
  _tamo_werkzeuge_pruefen()
endfunction()

# The headless programs as built: the dynamic loader finds no widget library in them, so that no link the graph
# does not show can slip one in. The program itself is the counter-check: the test must see its widgets.
function(_tamo_werkzeuge_pruefen)
  if(NOT TAMO_TESTS)
    return()
  endif()
  set(werkzeuge "")
  foreach(name IN LISTS TAMO_SCHICHT_NAMEN)
    if(TARGET ${name} AND TAMO_ART_${name} STREQUAL "widgetfrei")
      get_target_property(typ ${name} TYPE)
      if(typ STREQUAL "EXECUTABLE")
        list(APPEND werkzeuge $<TARGET_FILE:${name}>)
      endif()
    endif()
  endforeach()
  set(skript ${PROJECT_SOURCE_DIR}/tests/schichten/werkzeuge_ohne_widgets.sh)
  if(werkzeuge)
    add_test(NAME Schichtenregel.WerkzeugeOhneWidgets COMMAND bash ${skript} ${werkzeuge})
  endif()
  if(TARGET tamo-sepa)
    add_test(NAME Schichtenregel.WerkzeugeGegenprobe COMMAND bash ${skript} $<TARGET_FILE:tamo-sepa>)
    set_tests_properties(Schichtenregel.WerkzeugeGegenprobe PROPERTIES
                         PASS_REGULAR_EXPRESSION "tamo-sepa loads a widget library:.*libQt6Widgets")
  endif()
endfunction()
