# The game's version and release date, for the Linux install rules and the Windows package:
# ZELTO_VERSION ("0.1.0") and ZELTO_RELEASE_DATE ("YYYY-MM-DD"). Both come from the first
# entry of packaging/changelog.in alone: its heading "repair-zelto (VERSION) ..." and its
# first sign-off " -- NAME  Day, DD Mon YYYY ...".
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog.in changelog)
list(GET changelog 0 heading)
string(REGEX REPLACE "^repair-zelto \\(([^)]+)\\).*" "\\1" ZELTO_VERSION "${heading}")
list(FILTER changelog INCLUDE REGEX "^ -- ")
list(GET changelog 0 signoff)
string(REGEX MATCH ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) " _ "${signoff}")
set(day "${CMAKE_MATCH_1}")
set(year "${CMAKE_MATCH_3}")
set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND month_names "${CMAKE_MATCH_2}" month)
if(NOT ZELTO_VERSION MATCHES "^[0-9][0-9.]*$" OR month EQUAL -1)
    message(WARNING "packaging/changelog.in: no version or date in its first entry; "
        "the package will not be valid")
endif()
math(EXPR month "${month} + 1")
if(month LESS 10)
    set(month 0${month})
endif()
set(ZELTO_RELEASE_DATE "${year}-${month}-${day}")
