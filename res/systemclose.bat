@echo off
rem Hides the private folder beside the program again and takes drive K: away. Running it while
rem nothing is open changes nothing; the files in the folder stay as they are.
setlocal
set "PRIVATE=%~dp0private"
subst K: /D >nul 2>&1
if exist "%PRIVATE%\" attrib +h +s "%PRIVATE%"
endlocal
