# Precompiled headers: the Qt (and, for the tests, GoogleTest) headers that nearly every
# file includes are parsed once per build instead of once per file. Three headers are
# made: one for the libraries (QtCore; shared by every static library through REUSE_FROM,
# since they are compiled with the same flags), one for the Qt shell (Qt Widgets, its own)
# and one for the test programs (executables are compiled as position-independent
# executables, which a library's header does not serve). A file still includes what it
# uses: the layer checks read the includes, and a build with CELVIO_PCH=OFF proves them.
#
# ccache caches files compiled with a precompiled header only with the sloppiness below
# (and, for gcc, -fpch-preprocess); it is given through the launcher's environment, added
# to what the user's ccache configuration already allows, so that a machine without one
# still gets its hits.

set(CELVIO_PCH_CORE
    <QByteArray> <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QMap> <QObject>
    <QSet> <QString> <QStringList> <QTextStream> <QVariant> <QRegularExpression>
    <algorithm> <chrono> <cstdint> <functional> <memory> <optional> <vector>)
set(CELVIO_PCH_WIDGETS ${CELVIO_PCH_CORE}
    <QApplication> <QDialog> <QLabel> <QLayout> <QPushButton> <QWidget>)
set(CELVIO_PCH_TESTS ${CELVIO_PCH_WIDGETS} <QCoreApplication> <QTemporaryDir> <gtest/gtest.h>)

# Runs ccache with the sloppiness precompiled headers need, when the build uses ccache.
function(celvio_pch_ccache)
  if(NOT CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$")
    return()
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER_LAUNCHER} --get-config sloppiness
                  OUTPUT_VARIABLE own OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  string(REPLACE " " "" own "${own}")
  set(sloppiness pch_defines,time_macros,include_file_mtime,include_file_ctime)
  if(own)
    string(APPEND sloppiness ",${own}")
  endif()
  set(CMAKE_CXX_COMPILER_LAUNCHER env CCACHE_SLOPPINESS=${sloppiness} ${CMAKE_CXX_COMPILER_LAUNCHER} PARENT_SCOPE)
endfunction()

# The holders of the shared headers; called before the folders' targets are made.
function(celvio_pch_holders)
  add_library(celvio_pch_core OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch_stub.cpp)
  target_link_libraries(celvio_pch_core PRIVATE Qt6::Core)
  target_precompile_headers(celvio_pch_core PRIVATE ${CELVIO_PCH_CORE})
  set_target_properties(celvio_pch_core PROPERTIES AUTOMOC OFF)
  if(CELVIO_BUILD_TESTS)
    if(NOT TARGET GTest::gtest)
      find_package(GTest REQUIRED)
    endif()
    add_executable(celvio_pch_tests ${PROJECT_SOURCE_DIR}/cmake/pch_stub.cpp)
    target_link_libraries(celvio_pch_tests PRIVATE Qt6::Widgets GTest::gtest)
    target_precompile_headers(celvio_pch_tests PRIVATE ${CELVIO_PCH_TESTS})
    set_target_properties(celvio_pch_tests PROPERTIES AUTOMOC OFF)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # A header that does not fit the flags of a file would be passed over in silence.
    add_compile_options(-Winvalid-pch -fpch-preprocess)
  endif()
endfunction()

# Every target below `dir`, depth first.
function(celvio_targets_below dir out)
  get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    celvio_targets_below(${sub} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Gives each target its header: the static libraries the shared one, the Qt shell its
# own, the test programs theirs; called after the folders' targets are made.
function(celvio_pch_apply)
  celvio_targets_below(${PROJECT_SOURCE_DIR} targets)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    get_target_property(links ${t} LINK_LIBRARIES)
    if(t MATCHES "^celvio_pch_")
      continue()
    elseif(t STREQUAL "celvio_qt")
      target_precompile_headers(${t} PRIVATE ${CELVIO_PCH_WIDGETS})
    elseif(type STREQUAL "STATIC_LIBRARY")
      target_precompile_headers(${t} REUSE_FROM celvio_pch_core)
    elseif(type STREQUAL "EXECUTABLE" AND TARGET celvio_pch_tests AND "celvio_test_support" IN_LIST links)
      target_precompile_headers(${t} REUSE_FROM celvio_pch_tests)
    endif()
  endforeach()
endfunction()
