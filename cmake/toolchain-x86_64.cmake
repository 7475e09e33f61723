# 64-bit build of the same sources, used to run the tests on machines that cannot
# execute 32-bit code (see scripts/common.sh).
set(QUILBROOK_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
