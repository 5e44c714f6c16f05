# Shared part of the mingw-w64 cross toolchains. The including file sets
# MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first. The posix thread model is used:
# std::thread/std::mutex and GoogleTest need it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)
set(CMAKE_AR           /usr/bin/${MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

# Dependencies built for mingw (OpenSSL, curl, GoogleTest) live in a cache outside
# the repository; scripts/lib/mingw-deps.sh passes it in as QARTO_MINGW_DEPS.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${QARTO_MINGW_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
