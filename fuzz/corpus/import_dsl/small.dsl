a b
	[m1][b]1.[/b] [p]x[/p] ~
	@ c
	d
