@echo off
rem Hides the private folder beside the program again and takes drive K: away. Running it while
rem nothing is open changes nothing; the files in the folder stay as they are.
setlocal
set "PRIVATE=%~dp0private"
subst K: /D >nul 2>&1
if not exist "%PRIVATE%\" goto :done
rem Windows sets both attributes in the first call; Wine's attrib applies only the last switch
rem of a call, so the second call, in the other order, completes it there.
attrib +s +h "%PRIVATE%"
attrib +h +s "%PRIVATE%"
:done
endlocal
