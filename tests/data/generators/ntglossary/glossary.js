var GREEK = {
    "name": "Greek",
    "words": [
        {"id": "G17", "lexeme": "ἀγαθοποιός", "short_def": "делающий добро", "weight": 1, "synonyms": []},
        {"id": "G18", "lexeme": "ἀγαθός", "short_def": "внутр", "weight": 1, "synonyms": []},
        {"id": "G957", "lexeme": "βελτίον", "short_def": "лучше", "weight": 1, "synonyms": []},
        {"id": "G1487", "lexeme": "εἰ", "short_def": "если", "weight": 0, "synonyms": []},
        {"id": "G1488", "lexeme": "εἶ", "short_def": "если", "weight": 0, "synonyms": []},
        {"id": "G2532", "lexeme": "καί", "short_def": "и", "weight": 0, "synonyms": []},
    ]
};
