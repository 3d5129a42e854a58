#pragma once

// Control and resource ids of Ludaro.exe. They are part of the program's
// outward face: the GUI test driver finds and presses controls by these
// numbers, so a number, once given, keeps its meaning. Plain #defines because
// the resource compiler reads this file too.

// ------------------------------------------------------------ resources
#define IDI_LUDARO 1
#define IDI_OK 101
#define IDI_CLOSE 102

// ---------------------------------------------- main window MForm (TMForm)
// Help context of the main window and of every control on it.
#define HELP_CONTEXT_MAIN 3

// Direction panels across the top.
#define IDC_DRAW3D2 1001        // left panel: XADE to Horalia
#define IDC_DRAW3D2_LABEL 1002
#define IDC_BEXPORTAR 1003      // starts the import
#define IDC_DRAW3D3 1011        // right panel: Horalia to XADE
#define IDC_DRAW3D3_LABEL 1012
#define IDC_BIMPORTAR 1013      // starts the export

// Lower area and everything in it.
#define IDC_PANEL3 1020
#define IDC_LABEL12 1021        // "PRIMERO ==>"
#define IDC_LABEL5 1022         // folder choice instructions
#define IDC_LABEL6 1023         // "Ruta Actual:"
#define IDC_LABEL2 1024         // the folder list's path
#define IDC_DIRECTORIOS 1025    // folder list (list box)
#define IDC_UNIDADES 1026       // drive list (drop-down combo box)
#define IDC_BUTTON1 1027        // "F1 AYUDA"
#define IDC_BCLOSE 1028         // "&Salir"
#define IDC_LABEL1 1029         // version label
#define IDC_REPORTLINK 1030     // after a run: opens its report, or says why there is none

// The convocatoria choice and level coding panels; their own controls take
// ids from 1100-1199 and 1200-1299 respectively.
#define IDC_PANEL1 1100
#define IDC_PANEL2 1200

// Convocatoria choice (Panel1).
#define IDC_LABEL7 1101             // "Seleccionar la Convocatoria a importar:"
#define IDC_WWDBGRIDCODCENTRO 1102  // the convocatorias
#define IDC_BITBTN1 1103            // "Continuar"

// Level coding (Panel2).
#define IDC_PANEL2_TITLE 1201       // "NIVELES DE ESTUDIOS"
#define IDC_PANEL2_INSTRUCTION 1202 // what to type in the grid
#define IDC_PANEL2_NOTICE 1203      // abbreviations follow from the codes
#define IDC_LABEL9 1204             // warning after a failed level check
#define IDC_WWDBGRIDNIVIMP 1205     // the courses and their codes
#define IDC_BITBTN2 1206            // "Aceptar"
#define IDC_BUTTON2 1207            // "Volver a los Datos"

// ------------------------------ hour-template dialog ControlPlantilla (TControlPlantilla)
// Help context of the dialog; its "Aceptar" carries the main window's.
#define HELP_CONTEXT_PLANTILLA 1
#define IDC_CP_TITLE 1301           // "COMPROBACIÓN DE LA PLANTILLA HORARIA DEL CENTRO"
#define IDC_CP_HEADING 1302         // "PLANTILLA HORARIA DEL CENTRO"
#define IDC_CP_ADVICE 1303          // what to correct in the grid
#define IDC_PLANTIHORDBGRID 1304    // the template's hours
#define IDC_WWDBNAVIGATOR1 1310     // its navigator: each button is this plus its number, 1310-1321
#define IDC_CP_BITBTN2 1330         // "Aceptar"
