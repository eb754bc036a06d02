#NAME "Lexicon minimum"
#INDEX_LANGUAGE "Latin"
#CONTENTS_LANGUAGE "Russian"

amo
amare
	[m1][p]v.[/p] [c red]любить[/c] {{a comment}}
	[m1][b]1.[/b] [trn]любить[/trn] [ex][i]~ patriam[/i][/ex]
	[m2][b]2)[/b] [com]редко[/com] \[sic\] <<amor>> [ref]amor[/ref] [lang id=1033]x[/lang]
	[m1][s]amo.wav[/s] [u]под[/u] $5 a<b ~x\~ {{x}} [video]v.avi[/video] [foo]bar[/foo]
	@ amans
	[p]part.[/p] любящий
	@
	конец
rosa {(}optional{)}
	роза
Rōma
	Рим
ROMA
	столица
123
	число
ἄλφα
	греческая буква
