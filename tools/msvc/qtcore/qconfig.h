/* QtCore's configuration for its MSVC ABI build (what Qt's configure writes
   for a win32-msvc2015 build), installed as <QtCore/qconfig.h>. */

/* Licence */
#define QT_PRODUCT_LICENSEE "Open Source"
#define QT_PRODUCT_LICENSE "OpenSource"
#ifndef QT_EDITION
#  define QT_EDITION QT_EDITION_OPENSOURCE
#endif

/* Machine byte-order, architecture (atomics) and build key */
#define Q_BIG_ENDIAN 4321
#define Q_LITTLE_ENDIAN 1234
#define Q_BYTE_ORDER Q_LITTLE_ENDIAN
#define QT_ARCH_WINDOWS
#define QT_BUILD_KEY "Windows x64 msvc full-config"

/* Compile-time features */
#define QT_LARGEFILE_SUPPORT 64
#define QT_POINTER_SIZE 8

#if defined(QT_NO_DBUS) && defined(QT_DBUS)
#  undef QT_NO_DBUS
#elif !defined(QT_NO_DBUS) && !defined(QT_DBUS)
#  define QT_NO_DBUS
#endif

#if defined(QT_NO_OPENSSL) && defined(QT_OPENSSL)
#  undef QT_NO_OPENSSL
#elif !defined(QT_NO_OPENSSL) && !defined(QT_OPENSSL)
#  define QT_NO_OPENSSL
#endif

#if defined(QT_NO_STYLE_GTK) && defined(QT_STYLE_GTK)
#  undef QT_NO_STYLE_GTK
#elif !defined(QT_NO_STYLE_GTK) && !defined(QT_STYLE_GTK)
#  define QT_NO_STYLE_GTK
#endif

/* A shared QtCore: code that uses it imports from QtCore4.dll (qmake adds
   QT_DLL for that; CMake's FindQt4 does not), unless it builds QtCore
   (QT_MAKEDLL) or asks otherwise (QT_NODLL). */
#if !defined(QT_MAKEDLL) && !defined(QT_NODLL) && !defined(QT_DLL)
#  define QT_DLL
#endif
