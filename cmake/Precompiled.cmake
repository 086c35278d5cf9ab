# Precompiled headers for the heavy third-party headers that most sources of a target include:
# GoogleTest in the tests, Qt Widgets in the designer. Parsing them is about a third of each
# such source's compile time. AZUZ_PRECOMPILE=OFF builds without them (for include checks).
option(AZUZ_PRECOMPILE "Precompile the GoogleTest and Qt headers" ON)

set(AZUZ_GTEST_PCH <gtest/gtest.h> <gmock/gmock.h> <filesystem> <fstream> <string> <thread>
    <vector>)
set(AZUZ_QT_PCH <QApplication> <QComboBox> <QDialog> <QLabel> <QLineEdit> <QMessageBox>
    <QPainter> <QPushButton> <QString> <QVBoxLayout> <QWidget>)

# Gives `target` its own precompiled header of `headers`, or reuses the one of `from` (which
# must have the same compile flags and definitions).
function(azuz_precompile target)
  cmake_parse_arguments(arg "" "FROM" "HEADERS" ${ARGN})
  if(NOT AZUZ_PRECOMPILE)
    return()
  endif()
  if(arg_FROM)
    target_precompile_headers(${target} REUSE_FROM ${arg_FROM})
  else()
    target_precompile_headers(${target} PRIVATE ${arg_HEADERS})
  endif()
endfunction()
