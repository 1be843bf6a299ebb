CREATE TABLE ACCOUNTS (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, name_modified INTEGER,
  type INTEGER, type_modified INTEGER, bank_name TEXT, bank_name_modified INTEGER,
  account_number TEXT, account_number_modified INTEGER, check_number INTEGER,
  check_number_modified INTEGER, opening_balance REAL, opening_balance_modified INTEGER,
  icon INTEGER, icon_modified INTEGER, include_in_totals INTEGER, include_in_totals_modified INTEGER,
  online_enabled INTEGER, online_enabled_modified INTEGER, statement_balance REAL,
  statement_balance_modified INTEGER, statement_date INTEGER, statement_date_modified INTEGER,
  reconcile_opening REAL, reconcile_opening_modified INTEGER, reconcile_ending REAL,
  reconcile_ending_modified INTEGER, reconcile_date INTEGER, reconcile_date_modified INTEGER,
  online_block BLOB, online_block_modified INTEGER, institution_id INTEGER,
  institution_id_modified INTEGER, routing_number TEXT, routing_number_modified INTEGER,
  online_account_id TEXT, online_account_id_modified INTEGER, currency_id INTEGER,
  currency_id_modified INTEGER, category_id INTEGER, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, online_balance REAL, flags INTEGER);
CREATE TABLE CATEGORIES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, parent_code INTEGER,
  fixed_code INTEGER, icon INTEGER, budget REAL, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, parent_id INTEGER);
CREATE TABLE CLASSES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, fixed_code INTEGER,
  amount REAL, modified INTEGER, deleted INTEGER, sort_order INTEGER);
CREATE TABLE CURRENCIES (identifier INTEGER PRIMARY KEY, symbol TEXT, currency_id INTEGER,
  conversion REAL, name TEXT, base_changed INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE PAYEES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, budget REAL,
  sort_order INTEGER, transaction_id INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE PAYEE_LOOKUP_ITEMS (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT,
  payee_name TEXT, modified INTEGER, deleted INTEGER, sort_order INTEGER);
CREATE TABLE SCHEDULED_TRANSACTIONS (identifier INTEGER PRIMARY KEY, uid BLOB, sort_order INTEGER,
  date INTEGER, next_date INTEGER, frequency INTEGER, repeat_count INTEGER, enter_mode INTEGER,
  days INTEGER, transaction_id INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE TRANSACTION_TYPES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT,
  outflow INTEGER, numbered INTEGER, built_in INTEGER, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, flags INTEGER);
CREATE TABLE TRANSACTIONS (identifier INTEGER PRIMARY KEY, uid BLOB, sort_order INTEGER,
  amount REAL, memo TEXT, payee_name TEXT, date INTEGER, specific INTEGER,
  pending_reconcile INTEGER, status INTEGER, base_amount REAL, accepted INTEGER, kind INTEGER,
  split_transfer INTEGER, split_transfer_index INTEGER, transfer_uid BLOB, fit_id TEXT,
  payee_lookup_item_uid BLOB, match_uid BLOB, transaction_class_id INTEGER, category_id INTEGER,
  original_currency_id INTEGER, type_id INTEGER, modified INTEGER, deleted INTEGER,
  account_id INTEGER);
CREATE TABLE SPLITS (identifier INTEGER PRIMARY KEY, amount REAL, memo TEXT, line_index INTEGER,
  transfer_uid BLOB, class_id INTEGER, category_id INTEGER, deleted INTEGER, modified INTEGER,
  transaction_id INTEGER);
CREATE TABLE SETTINGS (name TEXT, value TEXT);
INSERT INTO SETTINGS VALUES('HHDeviceName', 'New phone');
INSERT INTO SETTINGS VALUES('HHDeviceUniqueSerial', 'FUZZ-NEW');
INSERT INTO SETTINGS VALUES('PasswordCribName', '');
INSERT INTO SETTINGS VALUES('baseCurrencyIdPlain', '1');
-- The desktop's checking account and its transfer category, as a first
-- sync left them; then changes on the handheld.
INSERT INTO CATEGORIES VALUES(1, X'5A00000000000001', '[Checking]', 0, 0, 0, 0.0, 0, 0, 0, 0);
INSERT INTO ACCOUNTS VALUES(1, X'0000000000000005', 'Checking', 0, 0, 0, 'Bank', 0, '1234', 0,
  101, 0, 100.0, 0, 3, 0, 1, 0, 0, 0, 0.0, 0, 0, 0, 0.0, 0, 0.0, 0, 0, 0, NULL, 0, 0, 0, '', 0,
  '', 0, 1, 0, 1, 0, 0, 0, 0.0, 0);
INSERT INTO ACCOUNTS VALUES(2, X'5A00000000000002', 'Wallet', 1, 6, 1, '', 0, '', 0, 1, 0, 20.0,
  1, 5, 1, 1, 1, 0, 0, 0.0, 0, 0, 0, 0.0, 0, 0.0, 0, 0, 0, NULL, 0, 0, 0, '', 0, '', 0, 1, 1, 3,
  1, 0, 0, 0.0, 0);
INSERT INTO CATEGORIES VALUES(2, X'5A00000000000003', 'Garden', 0, 0, 4, 25.5, 1, 0, 0, 0);
INSERT INTO CATEGORIES VALUES(3, X'5A00000000000004', '[Wallet]', 0, 0, 0, 0.0, 1, 0, 0, 0);
INSERT INTO CLASSES VALUES(1, X'5A00000000000005', 'Holiday', 0, 0.0, 1, 0, 0);
INSERT INTO PAYEES VALUES(1, X'5A00000000000006', 'Corner shop', 12.0, 0, 0, 1, 0);
INSERT INTO PAYEE_LOOKUP_ITEMS VALUES(1, X'5A00000000000007', 'CORNER SHOP 123', 'Corner shop',
  1, 0, 0);
INSERT INTO CURRENCIES VALUES(1, '$', 1, 1.0, 'Dollar', 0, 0, 0);
INSERT INTO CURRENCIES VALUES(2, 'E', 2, 0.9, 'Euro', 0, 1, 0);
INSERT INTO TRANSACTION_TYPES VALUES(20, X'5A00000000000008', 'Voucher', 1, 0, 0, 1, 0, 0, 0);
INSERT INTO TRANSACTIONS VALUES(1, X'5A00000000000010', 0, 12.34, 'milk', 'Corner shop',
  600000000, 0, 0, 1, 12.34, 0, 0, 0, 0, NULL, '', X'5A00000000000007', NULL, 1, 2, 1, 20, 1, 0,
  1);
INSERT INTO TRANSACTIONS VALUES(2, X'5A00000000000011', 0, 50.0, 'split', 'Market', 600086400,
  0, 0, 0, 50.0, 0, 0, 0, 0, NULL, '', NULL, NULL, 0, 0, 1, 0, 1, 0, 1);
INSERT INTO SPLITS VALUES(1, 30.0, 'plants', 0, NULL, 1, 2, 0, 1, 2);
INSERT INTO SPLITS VALUES(2, 20.0, 'to the wallet', 1, X'5A00000000000012', 0, 3, 0, 1, 2);
INSERT INTO TRANSACTIONS VALUES(3, X'5A00000000000013', 0, 9.99, 'rent', 'Landlord', 600000000,
  0, 0, 0, 9.99, 0, 1, 0, 0, NULL, '', NULL, NULL, 0, 2, 1, 0, 1, 0, 1);
INSERT INTO SCHEDULED_TRANSACTIONS VALUES(1, X'5A00000000000013', 0, 600000000, 602592000, 3,
  65535, 0, 0, 3, 1, 0);
INSERT INTO TRANSACTIONS VALUES(4, X'5A00000000000014', 0, 1.0, 'gone', 'Nobody', 600000000, 0,
  0, 0, 1.0, 0, 0, 0, 0, NULL, '', NULL, NULL, 0, 0, 1, 0, 1, 1, 1);
