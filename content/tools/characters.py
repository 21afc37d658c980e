"""The seven people of the game: their colours and the traits both the sprite
sheets and the portraits draw, so that a face in a picture and a figure on the
map are plainly the same person."""

CHARACTERS = {
    # The lead: a young courier in a red cap and a blue coat, with a satchel.
    "tavelle": dict(hair=(128, 74, 44), coat=(62, 98, 170), trim=(236, 214, 150), legs=(86, 62, 52),
                    shoes=(96, 58, 40), hat=(204, 62, 52), hair_style="bob", satchel=(150, 100, 52),
                    eyes=(70, 50, 40)),
    # The baker's daughter: golden hair in a bun, a rose dress and a white apron.
    "miroune": dict(hair=(236, 186, 80), coat=(210, 106, 120), trim=(248, 240, 226), legs=(210, 106, 120),
                    shoes=(120, 70, 60), hair_style="bun", apron=(248, 242, 230), skirt=True,
                    eyes=(60, 110, 70)),
    # The old clockmaker: white hair and beard, round glasses, a long green coat.
    "pendel": dict(hair=(230, 230, 222), coat=(66, 108, 80), trim=(214, 180, 90), legs=(70, 60, 64),
                   shoes=(60, 44, 40), hair_style="bald", beard=(236, 234, 226), glasses=True, long_coat=True,
                   eyes=(60, 70, 110)),
    # The singer of the forest: long silver-lilac hair and a violet robe.
    "sorvane": dict(hair=(196, 176, 226), coat=(120, 76, 168), trim=(236, 200, 96), legs=(120, 76, 168),
                    shoes=(90, 60, 110), hair_style="long", skirt=True, flower=(244, 150, 170),
                    eyes=(110, 70, 150)),
    # The blacksmith: broad, a red headscarf, a thick brown beard and a leather apron.
    "obrik": dict(hair=(164, 66, 54), coat=(206, 150, 66), trim=(120, 78, 48), legs=(74, 66, 72),
                  shoes=(56, 40, 36), hair_style="bald", beard=(116, 70, 40), apron=(126, 84, 52), broad=True,
                  eyes=(60, 44, 36)),
    # The woodcutter who knows the forest paths: a green hood and a brown tunic.
    "daskel": dict(hair=(92, 64, 40), coat=(138, 96, 60), trim=(214, 190, 120), legs=(86, 96, 64),
                   shoes=(78, 54, 38), hair_style="hood", hood=(74, 134, 74), cape=(62, 114, 64),
                   eyes=(60, 90, 50)),
    # The keeper of the ruin: a tall hooded figure in a feathered cloak, amber eyes.
    "korvath": dict(hair=(46, 44, 72), coat=(48, 46, 76), trim=(120, 110, 170), legs=(48, 46, 76),
                    shoes=(40, 38, 60), hair_style="hood", hood=(58, 54, 90), cape=(40, 38, 66), robe=True,
                    tall=True, skin=(150, 150, 176), eyes=(250, 196, 70), glow=True),
}

# Sheet order of the game: character number -> name.
ORDER = ["tavelle", "miroune", "pendel", "sorvane", "obrik", "daskel", "korvath"]
