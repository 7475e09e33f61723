# libpng 1.6 from Debian's source package (unpacked by scripts/build.sh into
# QUILBROOK_LIBPNG_SOURCE), built statically against the static mingw zlib.
if(NOT QUILBROOK_LIBPNG_SOURCE OR NOT EXISTS ${QUILBROOK_LIBPNG_SOURCE}/png.h)
  message(FATAL_ERROR "Set QUILBROOK_LIBPNG_SOURCE to an unpacked libpng 1.6 source tree (scripts/build.sh does).")
endif()

find_library(QUILBROOK_ZLIB_STATIC NAMES libz.a REQUIRED)
find_path(QUILBROOK_ZLIB_INCLUDE zlib.h REQUIRED)

set(png_generated ${CMAKE_CURRENT_BINARY_DIR}/libpng)
configure_file(${QUILBROOK_LIBPNG_SOURCE}/scripts/pnglibconf.h.prebuilt ${png_generated}/pnglibconf.h COPYONLY)

set(png_sources png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c pngrtran.c
                pngrutil.c pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c)
list(TRANSFORM png_sources PREPEND ${QUILBROOK_LIBPNG_SOURCE}/)
add_library(png_static STATIC ${png_sources})
# C++ exceptions raised in the read callbacks must be able to unwind through libpng.
target_compile_options(png_static PRIVATE -fexceptions -w)
target_compile_definitions(png_static PRIVATE PNG_ARM_NEON_OPT=0 PNG_INTEL_SSE_OPT=0)
target_include_directories(png_static PUBLIC ${QUILBROOK_LIBPNG_SOURCE} ${png_generated} ${QUILBROOK_ZLIB_INCLUDE})
target_link_libraries(png_static PUBLIC ${QUILBROOK_ZLIB_STATIC})
