// Game data for the Movra viewer page (viewer.html). Written by Movra's web export: the lines
// below the declarations are filled in for each game.
var k = new Array();
var kif = new Array();
var com = new Array();
var title = "", sente = "", gote = "", teai = "", KifTesu = 0, Cur = 0;
%KIF
