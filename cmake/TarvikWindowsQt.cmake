# Qt for the Windows build: the static Qt that scripts/build-qt-windows.sh makes in the user's
# cache (scripts/windows-qt-dir names the folder). TARVIK_WINDOWS_QT names another folder.
# Sets TARVIK_WINDOWS_QT_FOUND; when it is false the editor is left out of the build and the
# configure says why.
set(TARVIK_WINDOWS_QT "" CACHE PATH
    "Static Qt for Windows (empty: the folder scripts/build-qt-windows.sh makes)")
# The host tools (moc, rcc, uic) are Debian's of the same Qt version (qt6-base-dev-tools).
set(TARVIK_QT_HOST_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH
    "CMake packages of the build machine's Qt, whose moc, rcc and uic the Windows build runs")

set(TARVIK_WINDOWS_QT_FOUND OFF)
if(TARVIK_WINDOWS_QT)
  set(windows_qt_dir ${TARVIK_WINDOWS_QT})
else()
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-qt-dir
                  OUTPUT_VARIABLE windows_qt_dir OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()

if(NOT EXISTS ${windows_qt_dir}/tarvik-qt-complete)
  message(STATUS "The editor (Tarvik.exe) is skipped: no Qt for Windows in ${windows_qt_dir}; "
                 "scripts/build-qt-windows.sh builds it there (hours on two cores)")
  return()
endif()

list(APPEND CMAKE_FIND_ROOT_PATH ${windows_qt_dir})
list(APPEND CMAKE_PREFIX_PATH ${windows_qt_dir})
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR ${TARVIK_QT_HOST_CMAKE_DIR})
find_package(Qt6 6.4 COMPONENTS Widgets PrintSupport Test)
if(NOT Qt6_FOUND)
  message(STATUS "The editor (Tarvik.exe) is skipped: the Qt in ${windows_qt_dir} did not load")
  return()
endif()
message(STATUS "The editor (Tarvik.exe) is built with the Qt in ${windows_qt_dir}")
set(TARVIK_WINDOWS_QT_FOUND ON)
