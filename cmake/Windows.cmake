# Windows build (mingw-w64 cross build): portable core again, the Win32 layer,
# velmora.exe and the Windows test programs, run through Wine by CTest.
# (Filled in by the foundation work.)
